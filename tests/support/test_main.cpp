#include "test_env.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    vokrin::testing::isolateUserFolders();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
