// The program of a layer check (cmake/Layers.cmake): it does nothing; its
// link is the check.
int main() { return 0; }
