#include "scoutmark_application.h"

int main(int argc, char **argv)
{
    return runScoutmark(argc, argv);
}
