// Deliberately built without the hardening flags, so the binary check has something to catch.
int main() { return 0; }
