// Carries nothing but the version resource linked beside it; the version
// tests only read the file, never run it.
int main() { return 0; }
