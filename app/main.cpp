#include "shell/application.h"

int main(int argc, char** argv)
{
    return barqeen::runBarqeen(argc, argv);
}
