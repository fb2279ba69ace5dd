// The supervision tests start copies of this executable as stand-in processes to be ended;
// "--linger" makes such a copy wait quietly until it is terminated.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--linger") == 0)
    {
        Sleep(120000);
        return 3;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
