// "Restart" runs the program again with the arguments it was started with, although the
// toolkit takes its own options out of argv once the application object exists.
#include "crashreport/reporter_state.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(StartArguments, SurviveTheToolkitTakingItsOptionsOutOfArgv)
{
    std::vector<std::string> given = {"vokrin", "-platform", "offscreen", "-style",
                                      "fusion", "keep1",     "keep2"};
    std::vector<char *> argv;
    for (std::string &argument : given)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int argc = static_cast<int>(given.size());

    vokrin::crashreport::prepareReporter(argc, argv.data());
    QApplication app(argc, argv.data());
    ASSERT_EQ(argc, 3) << "the toolkit removed its options in place, as it does at start";
    EXPECT_EQ(vokrin::crashreport::startArguments(),
              (QStringList{"-platform", "offscreen", "-style", "fusion", "keep1", "keep2"}));
}

} // namespace
