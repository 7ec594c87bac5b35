// Process entry. No arguments are read; the program's set-up and the shell take over from here.
#include "app/Program.h"

int main() {
    return scribbix::program::Main();
}
