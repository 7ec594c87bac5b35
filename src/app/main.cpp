// Process entry. The shell and the program's set-up take over from here.
int main() { return 0; }
