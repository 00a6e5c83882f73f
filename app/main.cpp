// Entry point of the game. Grows with the engine: for now it only proves the build.
int main() { return 0; }
