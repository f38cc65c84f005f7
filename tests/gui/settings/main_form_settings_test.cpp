#include "app/directory_edit.h"
#include "app/main_form.h"
#include "audio/bass.h"
#include "audio/engine/engine_config.h"
#include "controls/color_button.h"
#include "controls/led.h"
#include "controls/led_panel.h"
#include "controls/wheel.h"
#include "display/lyric_list.h"
#include "settings/form_storage.h"
#include "settings/ini_file.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using vokrin::app::TMainForm;

namespace {

// The program's executable is "vokrin", so its form storage writes "vokrin.INI"; a test
// program has another name and is told the program's.
const QString kStorageFile = QStringLiteral("vokrin.INI");

class MainFormSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
             QStringLiteral("/vokrin"))
            .removeRecursively();
        vokrin::engine::setManualClock(true);
    }

    static void writeSettings(const QByteArray &text)
    {
        const QString path = vokrin::settings::resolveSettingsFile(QStringLiteral("vokrin.ini"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    static QStringList settingsLines()
    {
        QFile file(vokrin::settings::resolveSettingsFile(QStringLiteral("vokrin.ini")));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(QRegularExpression("\r?\n"));
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }

    // A main window created as the entry creates it, on the silent device.
    static std::unique_ptr<TMainForm> createMainForm()
    {
        auto form = std::make_unique<TMainForm>();
        form->OutputDevice = 0;
        form->FormStorage1->setIniFileName(kStorageFile);
        EXPECT_TRUE(form->FormCreate());
        return form;
    }
};

TEST_F(MainFormSettingsTest, AFreshMainWindowClosedWritesTheTableInOrder)
{
    {
        auto form = createMainForm();
        form->show();
        // The show step gave the knob the engine's volume, as a fresh knob at 0 does.
        const int volume = form->Volume->value();
        EXPECT_EQ(static_cast<DWORD>(volume), BASS_GetVolume());
        EXPECT_TRUE(form->close());

        const QStringList lines = settingsLines();
        const QString n = QStringLiteral("-?\\d+");
        const QString pos = QStringLiteral("%1,%1,%1,%1").arg(n);
        const QStringList expected = {
            QStringLiteral("\\[TMainForm\\]"),
            QStringLiteral("FormVersion=0"),
            QStringLiteral("Flags=0"),
            QStringLiteral("ShowCmd=1"),
            QStringLiteral("PixelsPerInch=\\d+"),
            QStringLiteral("MinMaxPos\\(\\d+x\\d+\\)=") + pos,
            QStringLiteral("MinMaxPos=") + pos,
            QStringLiteral("NormPos\\(\\d+x\\d+\\)=") + pos,
            QStringLiteral("NormPos=") + pos,
            QStringLiteral("Visible=0"),
            QStringLiteral("Panel5_Color=0"),
            QStringLiteral("ListBox1_Color=0"),
            QStringLiteral("ListBox1_FontCharset=1"),
            QStringLiteral("ListBox1_FontColor=16777215"),
            QStringLiteral("ListBox1_FontHeight=-24"),
            QStringLiteral("ListBox1_FontName=Courier New"),
            QStringLiteral("ListBox1_FontPitch=fpDefault"),
            QStringLiteral("ListBox1_FontSize=18"),
            QStringLiteral("ListBox1_FontStyle=\\[fsBold\\]"),
            QStringLiteral("ListBox1_Tag=65535"),
            QStringLiteral("MMColorButton2_Value=65535"),
            QStringLiteral("MMColorButton3_Value=0"),
            QStringLiteral("Volume_Value=%1").arg(volume),
            QStringLiteral("PredText_Value=0"),
            QStringLiteral("Pan_Value=0"),
            QStringLiteral("DirectoryEdit1_Text="),
        };
        ASSERT_EQ(lines.size(), expected.size()) << lines.join('\n').toStdString();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QRegularExpression pattern(QRegularExpression::anchoredPattern(expected.at(i)));
            EXPECT_TRUE(pattern.match(lines.at(i)).hasMatch())
                << "line " << i << ": " << lines.at(i).toStdString();
        }
        // Both position keys hold the window's normal rectangle.
        EXPECT_EQ(lines.at(7).section('=', 1), lines.at(8).section('=', 1));
        EXPECT_EQ(lines.at(5).section('=', 1), lines.at(6).section('=', 1));
    }
    // Destroying after the close writes nothing more.
    EXPECT_EQ(settingsLines().filter(QStringLiteral("Visible=")),
              QStringList{QStringLiteral("Visible=0")});
}

TEST_F(MainFormSettingsTest, AStoredVolumeReachesTheEngineDuringTheRestore)
{
    const struct
    {
        QByteArray stored;
        DWORD engineBefore;
        int knob;
    } cases[] = {
        {"Volume_Value=40", 100, 40},
        {"Volume_Value=150", 30, 100}, // the knob clamps, and the engine follows it
        {"Volume_Value=0", 73, 73},    // no change at restore: the show step takes the engine's
        {"Volume_Value=abc", 73, 73},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored.constData());
        writeSettings("[TMainForm]\r\n" + c.stored + "\r\n");
        auto form = createMainForm();
        ASSERT_TRUE(BASS_SetVolume(c.engineBefore));
        form->show();
        EXPECT_EQ(BASS_GetVolume(), static_cast<DWORD>(c.knob));
        EXPECT_EQ(form->Volume->value(), c.knob);
        EXPECT_EQ(form->MMLEDPanel1->value(), c.knob);
        form->close();
    }
}

TEST_F(MainFormSettingsTest, EitherSpellingOfAnEnableFlagLightsTheMainWindowsLed)
{
    const struct
    {
        const char *text;
        bool lit;
    } cases[] = {{"True", true}, {"TRUE", true}, {"true", true}, {"False", false}, {"1", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        writeSettings(QByteArray("[TParamsForm]\neq_Enabled=") + c.text + "\n");
        auto form = createMainForm();
        EXPECT_EQ(form->eq->isLit(), c.lit);
    }
}

TEST_F(MainFormSettingsTest, StoredDisplaySettingsAndFolderComeBackBeforeTheShowStep)
{
    writeSettings("[TMainForm]\nPanel5_Color=255\nListBox1_Color=255\nListBox1_Tag=65280\n"
                  "ListBox1_FontName=Liberation Sans\nListBox1_FontSize=12\n"
                  "ListBox1_FontStyle=[fsItalic]\nMMColorButton2_Value=65280\n"
                  "DirectoryEdit1_Text=\"  /home/singer/tracks/  \"\nPan_Value=-30\n"
                  "PredText_Value=500\n");
    auto form = createMainForm();
    form->show();
    EXPECT_EQ(form->ListBox1->color(), 255);
    EXPECT_EQ(form->ListBox1->tag(), 65280);
    EXPECT_EQ(form->ListBox1->font().family(), "Liberation Sans");
    EXPECT_EQ(form->ListBox1->font().pixelSize(), 16);
    EXPECT_TRUE(form->ListBox1->font().italic());
    EXPECT_FALSE(form->ListBox1->font().bold());
    // The show step captions the font button from the restored font.
    EXPECT_EQ(form->SpeedButton4->text(), "Liberation Sans");
    EXPECT_EQ(form->DirectoryEdit1->property("Text").toString(), "/home/singer/tracks/");
    EXPECT_EQ(form->Pan->value(), -30);
    EXPECT_EQ(form->PredText->value(), 500);
    EXPECT_EQ(form->MMLEDPanel4->value(), 500);
}

TEST_F(MainFormSettingsTest, TheSungLineIsYellowOnAFirstStartAndAsStoredOtherwise)
{
    const struct
    {
        const char *name;
        QByteArray stored; // empty: no settings file at all
        QRgb lit;
    } cases[] = {
        {"first start", {}, qRgb(255, 255, 0)},
        {"stored black", "[TMainForm]\r\nListBox1_Tag=0\r\nMMColorButton2_Value=0\r\n",
         qRgb(0, 0, 0)},
        {"stored red", "[TMainForm]\r\nListBox1_Tag=255\r\nMMColorButton2_Value=255\r\n",
         qRgb(255, 0, 0)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (!c.stored.isEmpty())
            writeSettings(c.stored);
        auto form = createMainForm();
        form->show();
        form->ListBox1->addItems({QStringLiteral("WWWW"), QStringLiteral("WWWW")});
        form->ListBox1->selectLine(1);
        // What the list shows: the lit line's text in the hint colour, the other in white,
        // both on the black background.
        const QImage shown = form->ListBox1->viewport()->grab().toImage();
        const auto countOf = [&shown](QRgb colour, int top) {
            int n = 0;
            for (int y = top; y < top + 27; ++y)
                for (int x = 0; x < 120; ++x)
                    n += (shown.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
            return n;
        };
        EXPECT_GT(countOf(qRgb(255, 255, 255), 0), 40) << "the unlit line is white";
        if (c.lit != qRgb(0, 0, 0))
            EXPECT_GT(countOf(c.lit, 27), 40) << "the lit line is drawn in the hint colour";
        else
            EXPECT_EQ(countOf(qRgb(255, 255, 255), 27), 0) << "black on black, as stored";
        EXPECT_EQ(form->MMColorButton2->value(),
                  static_cast<int>(qRed(c.lit) | qGreen(c.lit) << 8 | qBlue(c.lit) << 16));
    }
}

} // namespace
