// Names are data: a backing-track path or a file name holding markup is shown as it is,
// in every label of the main window and of the windows it opens.
#include "main_form_fixture.h"

#include "fixture_writers.h"
#include "plain_text_check.h"

#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <filesystem>

namespace {

using vokrin::testing::labelsTakingMarkup;

TEST_F(MainFormTest, ABackingTrackPathHoldingMarkupShowsItsAngleBrackets)
{
    // A folder named "<b>x<" holding "b>.wav": the path reads ".../<b>x</b>.wav".
    std::filesystem::create_directory(dir / "<b>x<");
    ASSERT_TRUE(vokrin::fixtures::writeWav(dir / "<b>x<" / "b>.wav",
                                           vokrin::fixtures::sine(44100, 2, 1.0, 440, 0.5)));
    const QString track = path("<b>x</b>.wav");
    ASSERT_TRUE(track.endsWith(QStringLiteral("/<b>x</b>.wav")));
    form->AddProject(makeProject("markup.lyp", QFile::encodeName(track)));
    form->ButtonPlayClick();
    ASSERT_EQ(form->BackingTrackPath, track);

    EXPECT_EQ(form->LabelFile->text(), track);
    EXPECT_EQ(form->LabelFile->textFormat(), Qt::PlainText);
    // Shown as markup, "<b>x</b>" would shrink to a bold "x": the label asks for the
    // width of every character of the path.
    const QFontMetrics metrics(form->LabelFile->font());
    EXPECT_GE(form->LabelFile->sizeHint().width(), metrics.horizontalAdvance(track));
}

TEST_F(MainFormTest, EveryLabelOfTheMainAndSoundWindowsShowsPlainText)
{
    EXPECT_EQ(labelsTakingMarkup(*form), QStringList());
    form->PluginsClick();
    ASSERT_NE(form->ParamsForm, nullptr);
    EXPECT_EQ(labelsTakingMarkup(*form->ParamsForm), QStringList());
}

} // namespace
