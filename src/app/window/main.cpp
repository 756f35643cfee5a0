// velmora: the program's window.
#include "Program.h"

int main(int argc, char** argv) {
    return velmora::RunProgram(argc, argv);
}
