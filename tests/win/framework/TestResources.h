#pragma once

// Resources of the test program (read by the resource compiler too).
#define IDD_RESOURCE_DIALOG 200
#define IDS_TOOL_TIP 201
#define IDS_APP_TITLE 57344
