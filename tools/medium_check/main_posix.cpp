#include "main.h"

int main(int argc, char **argv)
{
    return medium_check_main(1, std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}
