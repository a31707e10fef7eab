#include "app/Program.h"

int main(int argc, char* argv[]) {
    return skarvel::runProgram(argc, argv);
}
