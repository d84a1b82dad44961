// Only its resources matter (CursorSource.rc).
int main() { return 0; }
