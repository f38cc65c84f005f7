#include "settings/form_storage.h"
#include "settings/ini_file.h"
#include "test_widgets.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <memory>

using vokrin::settings::EIniFileException;
using vokrin::settings::TFormStorage;
using vokrin::settings::TIniFile;

using settings_test::TTestForm;
using vokrin::settings::ScreenMetrics;

namespace {

const QString kFileName = QStringLiteral("settings_test.ini");

QString settingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vokrin");
}

class FormStorageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(settingsFolder()).removeRecursively();
        TFormStorage::setScreenProvider([this] { return screen; });
        TFormStorage::setExceptionHandler([this](std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception &e) {
                errors.push_back(e.what());
            }
        });
    }
    void TearDown() override
    {
        TFormStorage::setScreenProvider({});
        TFormStorage::setExceptionHandler({});
    }

    static QString path() { return vokrin::settings::resolveSettingsFile(kFileName); }
    static void writeFile(const QByteArray &text)
    {
        QDir().mkpath(settingsFolder());
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    static QByteArray readFile()
    {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QStringList fileLines()
    {
        QStringList lines = QString::fromUtf8(readFile()).split(QRegularExpression("\r?\n"));
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }
    static QString stored(const QString &key)
    {
        return TIniFile(kFileName).ReadString(QStringLiteral("TTestForm"), key,
                                              QStringLiteral("<missing>"));
    }

    ScreenMetrics screen{QSize(1024, 768), QRect(0, 0, 1024, 738), 96};
    std::vector<std::string> errors;
};

// The section a fresh form writes: the placement in its fixed order, then the stored
// properties in list order with the designed values.
TEST_F(FormStorageTest, FreshFormWritesPlacementThenPropertiesInListOrder)
{
    TTestForm form;
    form.FormStorage1->RestoreSettings(); // no file: the designed values stay
    form.FormStorage1->SaveSettings();
    const QStringList expected = {
        "[TTestForm]",
        "FormVersion=0",
        "Flags=0",
        "ShowCmd=1",
        "PixelsPerInch=96",
        "MinMaxPos(1024x768)=-1,-1,-1,-1",
        "MinMaxPos=-1,-1,-1,-1",
        "NormPos(1024x768)=121,129,882,706",
        "NormPos=121,129,882,706",
        "Visible=0",
        "ListBox1_Color=0",
        "ListBox1_FontCharset=1",
        "ListBox1_FontColor=16777215",
        "ListBox1_FontHeight=-24",
        "ListBox1_FontName=Courier New",
        "ListBox1_FontPitch=fpDefault",
        "ListBox1_FontSize=18",
        "ListBox1_FontStyle=[fsBold]",
        "ListBox1_Tag=0",
        "Volume_Value=0",
        "Pan_Value=0",
        "eq_Enabled=False",
        "DirectoryEdit1_Text=",
    };
    EXPECT_EQ(fileLines(), expected);
    EXPECT_TRUE(form.FormStorage1->Saved());
}

TEST_F(FormStorageTest, SavedValuesComeBackThroughTheSettersOnTheNextShow)
{
    {
        TTestForm form;
        form.show();
        form.Volume->setValue(65);
        form.Pan->setValue(-40);
        form.eq->setLit(true);
        form.DirectoryEdit1->setText("/home/singer/backing tracks/");
        form.ListBox1->setColor(14867160);
        form.ListBox1->setTag(-16777208);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(30);
        font.setItalic(true);
        form.ListBox1->setFont(font);
        QPalette palette = form.ListBox1->palette();
        palette.setColor(QPalette::Text, QColor(255, 255, 0));
        form.ListBox1->setPalette(palette);
        form.setGeometry(200, 150, 640, 480);
        EXPECT_TRUE(form.close());
    }
    EXPECT_EQ(stored("Volume_Value"), "65");
    EXPECT_EQ(stored("ListBox1_Tag"), "-16777208");
    EXPECT_EQ(stored("ListBox1_FontColor"), "65535");
    EXPECT_EQ(stored("Visible"), "0");

    TTestForm again;
    QSignalSpy volumeChanges(again.Volume, &settings_test::Knob::Change);
    QSignalSpy showing(again.FormStorage1, &TFormStorage::windowShowing);
    again.show();
    EXPECT_EQ(again.volumeSeenByShow, std::vector<int>{65}); // restored before the own show
    EXPECT_EQ(volumeChanges.count(), 1);
    EXPECT_EQ(showing.count(), 1);
    EXPECT_EQ(again.Pan->value(), -40);
    EXPECT_TRUE(again.eq->isLit());
    EXPECT_EQ(again.DirectoryEdit1->text(), "/home/singer/backing tracks/");
    EXPECT_EQ(again.ListBox1->color(), 14867160);
    EXPECT_EQ(again.ListBox1->tag(), -16777208);
    EXPECT_EQ(again.ListBox1->font().family(), "Liberation Sans");
    EXPECT_EQ(again.ListBox1->font().pixelSize(), 30);
    EXPECT_TRUE(again.ListBox1->font().italic());
    EXPECT_FALSE(again.ListBox1->font().bold());
    EXPECT_EQ(again.ListBox1->palette().color(QPalette::Text), QColor(255, 255, 0));
    EXPECT_EQ(again.normalGeometry(), QRect(200, 150, 640, 480));
    EXPECT_TRUE(again.FormStorage1->Restored());
    EXPECT_FALSE(again.FormStorage1->Saved());
}

// One stored line against a form whose volume knob starts at 50 and the others as designed.
TEST_F(FormStorageTest, ReadingStoredTextsIntoProperties)
{
    const struct
    {
        const char *what;
        const char *line;
        std::function<void(TTestForm &)> check;
    } cases[] = {
        {"not a number gives 0", "Volume_Value=abc",
         [](TTestForm &f) { EXPECT_EQ(f.Volume->value(), 0); }},
        {"the knob clamps", "Volume_Value=150",
         [](TTestForm &f) { EXPECT_EQ(f.Volume->value(), 100); }},
        {"empty number gives 0",
         "Volume_Value=", [](TTestForm &f) { EXPECT_EQ(f.Volume->value(), 0); }},
        {"blanks around a number", "Volume_Value=\" 42 \"",
         [](TTestForm &f) { EXPECT_EQ(f.Volume->value(), 42); }},
        {"hex is not decimal", "Volume_Value=0x20",
         [](TTestForm &f) { EXPECT_EQ(f.Volume->value(), 0); }},
        {"key case does not matter", "VOLUME_VALUE=7",
         [](TTestForm &f) { EXPECT_EQ(f.Volume->value(), 7); }},
        {"missing key leaves the value", "Pan_Value=-100",
         [](TTestForm &f) {
             EXPECT_EQ(f.Volume->value(), 50);
             EXPECT_EQ(f.Pan->value(), -100);
         }},
        {"TRUE lights the LED", "eq_enabled=TRUE",
         [](TTestForm &f) { EXPECT_TRUE(f.eq->isLit()); }},
        {"True lights the LED", "eq_Enabled=True",
         [](TTestForm &f) { EXPECT_TRUE(f.eq->isLit()); }},
        {"true lights the LED", "eq_Enabled=true",
         [](TTestForm &f) { EXPECT_TRUE(f.eq->isLit()); }},
        {"an unknown identifier changes nothing", "eq_Enabled=1",
         [](TTestForm &f) { EXPECT_FALSE(f.eq->isLit()); }},
        {"blanks around a folder go", "DirectoryEdit1_Text=\"   /music/  \"",
         [](TTestForm &f) { EXPECT_EQ(f.DirectoryEdit1->text(), "/music/"); }},
        {"a doubly quoted folder keeps its quotes", "DirectoryEdit1_Text=\"\"/mu sic\"\"",
         [](TTestForm &f) { EXPECT_EQ(f.DirectoryEdit1->text(), "\"/mu sic\""); }},
        {"an empty folder",
         "DirectoryEdit1_Text=", [](TTestForm &f) { EXPECT_EQ(f.DirectoryEdit1->text(), ""); }},
        {"a system colour stays as stored", "ListBox1_Color=-16777201",
         [](TTestForm &f) { EXPECT_EQ(f.ListBox1->color(), -16777201); }},
        {"font height and size disagree: the size wins",
         "ListBox1_FontHeight=-40\nListBox1_FontSize=18",
         [](TTestForm &f) { EXPECT_EQ(f.ListBox1->font().pixelSize(), 24); }},
        {"font height alone", "ListBox1_FontHeight=-40",
         [](TTestForm &f) { EXPECT_EQ(f.ListBox1->font().pixelSize(), 40); }},
        {"font size alone", "ListBox1_FontSize=9",
         [](TTestForm &f) { EXPECT_EQ(f.ListBox1->font().pixelSize(), 12); }},
        {"font style cleared", "ListBox1_FontStyle=[]",
         [](TTestForm &f) { EXPECT_FALSE(f.ListBox1->font().bold()); }},
        {"unknown style member skipped", "ListBox1_FontStyle=[fsItalic,fsOutline]",
         [](TTestForm &f) {
             EXPECT_FALSE(f.ListBox1->font().bold());
             EXPECT_TRUE(f.ListBox1->font().italic());
         }},
        {"font colour goes to the palette", "ListBox1_FontColor=255",
         [](TTestForm &f) {
             EXPECT_EQ(f.ListBox1->palette().color(QPalette::Text), QColor(255, 0, 0));
         }},
        {"font charset is kept", "ListBox1_FontCharset=204",
         [](TTestForm &f) {
             f.FormStorage1->SaveSettings();
             EXPECT_EQ(stored("ListBox1_FontCharset"), "204");
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(QByteArray("[ttestform]\n") + c.line + "\n");
        TTestForm form;
        form.Volume->setValue(50);
        form.FormStorage1->RestoreSettings();
        c.check(form);
    }
}

TEST_F(FormStorageTest, PropertiesAreRestoredInListOrderSoLaterHandlersSeeEarlierValues)
{
    writeFile("[TTestForm]\nVolume_Value=30\neq_Enabled=True\n");
    for (const bool ledFirst : {true, false}) {
        TTestForm form;
        form.FormStorage1->setStoredProps(ledFirst ? QStringList{"eq.Enabled", "Volume.Value"}
                                                   : QStringList{"Volume.Value", "eq.Enabled"});
        std::vector<bool> litSeenByVolumeChange;
        QObject::connect(form.Volume, &settings_test::Knob::Change,
                         [&] { litSeenByVolumeChange.push_back(form.eq->isLit()); });
        form.FormStorage1->RestoreSettings();
        EXPECT_EQ(litSeenByVolumeChange, std::vector<bool>{ledFirst});
    }
}

TEST_F(FormStorageTest, QuotesAndBlanksInAFolderRoundTrip)
{
    const struct
    {
        QString typed;
        QByteArray line;
        QString back;
    } cases[] = {
        {"  /music/  ", "DirectoryEdit1_Text=/music/", "/music/"},
        {"\"/my music\"", "DirectoryEdit1_Text=\"\"/my music\"\"", "\"/my music\""},
        {"'/my music'", "DirectoryEdit1_Text=\"'/my music'\"", "'/my music'"},
        {"\"/half", "DirectoryEdit1_Text=\"/half", "\"/half"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        QDir(settingsFolder()).removeRecursively();
        {
            TTestForm form;
            form.FormStorage1->RestoreSettings();
            form.DirectoryEdit1->setText(c.typed);
            form.FormStorage1->SaveSettings();
        }
        EXPECT_TRUE(readFile().contains(c.line + (readFile().contains('\r') ? "\r\n" : "\n")));
        TTestForm again;
        again.FormStorage1->RestoreSettings();
        EXPECT_EQ(again.DirectoryEdit1->text(), c.back);
    }
}

TEST_F(FormStorageTest, ALongValueComesBackCutTo2047Characters)
{
    const QString folder = "/" + QString(2999, u'x');
    {
        TTestForm form;
        form.FormStorage1->RestoreSettings();
        form.DirectoryEdit1->setMaxLength(5000);
        form.DirectoryEdit1->setText(folder);
        form.FormStorage1->SaveSettings();
    }
    TTestForm again;
    again.DirectoryEdit1->setMaxLength(5000);
    again.FormStorage1->RestoreSettings();
    EXPECT_EQ(again.DirectoryEdit1->text(), folder.left(2047));
}

TEST_F(FormStorageTest, ALowerFormVersionRestoresNothingButAllowsTheNextSave)
{
    writeFile("[TTestForm]\nFormVersion=-1\nShowCmd=3\nNormPos=10,20,410,320\n"
              "Volume_Value=80\neq_Enabled=True\n");
    TTestForm form;
    form.FormStorage1->RestoreSettings();
    EXPECT_EQ(form.Volume->value(), 0);
    EXPECT_FALSE(form.eq->isLit());
    EXPECT_EQ(form.geometry(), QRect(121, 129, 761, 577));
    EXPECT_FALSE(form.isMaximized());
    EXPECT_TRUE(form.FormStorage1->Restored());
    form.FormStorage1->SaveSettings();
    EXPECT_EQ(stored("FormVersion"), "0");
    EXPECT_EQ(stored("Volume_Value"), "0");

    // A component with a higher version ignores a section of version 0.
    TTestForm newer;
    newer.FormStorage1->setVersion(1);
    writeFile("[TTestForm]\nFormVersion=0\nVolume_Value=80\n");
    newer.FormStorage1->RestoreSettings();
    EXPECT_EQ(newer.Volume->value(), 0);
}

TEST_F(FormStorageTest, AnotherResolutionKeepsTheDesignedPlaceButRestoresStateAndValues)
{
    writeFile("[TTestForm]\nPixelsPerInch=120\nShowCmd=3\nNormPos=10,20,410,320\n"
              "Volume_Value=80\n");
    TTestForm form;
    form.FormStorage1->RestoreSettings();
    EXPECT_EQ(form.normalGeometry(), QRect(121, 129, 761, 577));
    EXPECT_TRUE(form.isMaximized());
    EXPECT_EQ(form.Volume->value(), 80);
}

TEST_F(FormStorageTest, PositionKeysForThisScreenWinOverThePlainOnes)
{
    const struct
    {
        const char *what;
        QSize screenSize;
        QByteArray text;
        QRect geometry;
    } cases[] = {
        {"saved on another screen: the plain key", QSize(1280, 1024),
         "NormPos(1024x768)=10,20,410,320\nNormPos=10,20,410,320\n", QRect(10, 45, 400, 300)},
        {"this screen's key first", QSize(1280, 1024),
         "NormPos(1280x1024)=50,60,450,360\nNormPos=10,20,410,320\n", QRect(50, 85, 400, 300)},
        {"an empty key for this screen falls back", QSize(1024, 768),
         "NormPos(1024x768)=\nNormPos=10,20,410,320\n", QRect(10, 45, 400, 300)},
        {"a rectangle turned inside out is ignored", QSize(1024, 768), "NormPos=410,20,10,320\n",
         QRect(121, 129, 761, 577)},
        {"only the min/max text", QSize(1024, 768), "MinMaxPos=1,2,3,4\n",
         QRect(121, 129, 761, 577)},
        {"saved on a screen that is gone", QSize(1024, 768), "NormPos=3000,2000,3400,2300\n",
         QRect(624, 425, 400, 300)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        // A panel at the top: stored positions are relative to the work area.
        screen = ScreenMetrics{c.screenSize, QRect(0, 25, c.screenSize.width(), 700), 96};
        writeFile("[TTestForm]\n" + c.text);
        TTestForm form;
        form.FormStorage1->RestoreSettings();
        EXPECT_EQ(form.geometry(), c.geometry);
        form.FormStorage1->SaveSettings();
        const QString rect = QStringLiteral("%1,%2,%3,%4")
                                 .arg(c.geometry.left())
                                 .arg(c.geometry.top() - 25)
                                 .arg(c.geometry.left() + c.geometry.width())
                                 .arg(c.geometry.top() - 25 + c.geometry.height());
        EXPECT_EQ(stored("NormPos"), rect);
        EXPECT_EQ(stored(QStringLiteral("NormPos(%1x%2)")
                             .arg(c.screenSize.width())
                             .arg(c.screenSize.height())),
                  rect);
    }
}

TEST_F(FormStorageTest, AFormThatCannotBeResizedKeepsItsSize)
{
    writeFile("[TTestForm]\nNormPos=10,20,410,320\n");
    TTestForm form;
    form.setFixedSize(300, 200);
    form.FormStorage1->RestoreSettings();
    EXPECT_EQ(form.geometry(), QRect(10, 20, 300, 200));
}

TEST_F(FormStorageTest, ClosedWhileMinimizedTheNextStartIsMinimized)
{
    {
        TTestForm form;
        form.show();
        form.showMinimized();
        QApplication::processEvents();
        ASSERT_TRUE(form.isMinimized());
        form.close();
    }
    EXPECT_EQ(stored("ShowCmd"), "2");
    EXPECT_EQ(stored("NormPos"), "121,129,882,706");

    TTestForm again;
    again.show();
    EXPECT_FALSE(again.isMinimized()); // shown normally, then minimized as a whole
    QApplication::processEvents();
    EXPECT_TRUE(again.isMinimized());
    EXPECT_EQ(again.normalGeometry(), QRect(121, 129, 761, 577));
}

TEST_F(FormStorageTest, MaximizedStateRoundTripsWithTheNormalRectangle)
{
    {
        TTestForm form;
        form.show();
        form.setGeometry(100, 100, 500, 400);
        form.showMaximized();
        QApplication::processEvents();
        form.close();
    }
    EXPECT_EQ(stored("ShowCmd"), "3");
    EXPECT_EQ(stored("NormPos"), "100,100,600,500");
    TTestForm again;
    again.show();
    EXPECT_TRUE(again.isMaximized());
    EXPECT_EQ(again.normalGeometry(), QRect(100, 100, 500, 400));
}

TEST_F(FormStorageTest, NoFileFirstShowKeepsTheDesignAndFirstCloseCreatesTheFile)
{
    TTestForm form;
    form.show();
    EXPECT_EQ(form.Volume->value(), 0);
    EXPECT_EQ(form.geometry(), QRect(121, 129, 761, 577));
    EXPECT_FALSE(QFileInfo::exists(path()));
    form.close();
    EXPECT_TRUE(QFileInfo::exists(path()));
    EXPECT_EQ(fileLines().front(), "[TTestForm]");
    EXPECT_EQ(fileLines().filter(QRegularExpression("^\\[")).size(), 1);
}

TEST_F(FormStorageTest, ARefusedCloseSavesNothing)
{
    TTestForm form;
    form.show();
    form.allowClose = false;
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(QFileInfo::exists(path()));
    form.allowClose = true;
    EXPECT_TRUE(form.close());
    EXPECT_EQ(stored("Visible"), "0");
}

TEST_F(FormStorageTest, DestroyedWithoutCloseSavesWithVisibleSetButOnlyOnce)
{
    {
        TTestForm form;
        form.show();
        form.Volume->setValue(33);
    }
    EXPECT_EQ(stored("Visible"), "1");
    EXPECT_EQ(stored("Volume_Value"), "33");

    {
        TTestForm form;
        form.show();
        form.close();
        form.Volume->setValue(12); // after the close's save: not written again
    }
    EXPECT_EQ(stored("Visible"), "0");
    EXPECT_EQ(stored("Volume_Value"), "33");
}

TEST_F(FormStorageTest, AFormNeverShownWritesNothingUnlessInactive)
{
    {
        TTestForm form;
        form.FormStorage1->SaveSettings();
    }
    EXPECT_FALSE(QFileInfo::exists(path()));

    TTestForm inactive;
    inactive.FormStorage1->setActive(false);
    inactive.FormStorage1->SaveSettings(); // an explicit save of an inactive storage writes
    EXPECT_EQ(stored("Volume_Value"), "0");
}

TEST_F(FormStorageTest, AnInactiveStorageNeitherRestoresOnShowNorSavesOnClose)
{
    writeFile("[TTestForm]\nVolume_Value=80\n");
    const QByteArray before = readFile();
    TTestForm form;
    form.FormStorage1->setActive(false);
    QSignalSpy showing(form.FormStorage1, &TFormStorage::windowShowing);
    form.show();
    EXPECT_EQ(form.Volume->value(), 0);
    EXPECT_EQ(showing.count(), 1);
    form.close();
    EXPECT_EQ(readFile(), before);
}

TEST_F(FormStorageTest, AFailedSaveGoesToTheHandlerAndTheWindowStillCloses)
{
    // The settings file's name taken by a folder: every write is refused.
    QDir().mkpath(path());
    {
        TTestForm form;
        form.show();
        EXPECT_TRUE(form.close());
        EXPECT_FALSE(form.isVisible());
        ASSERT_EQ(errors.size(), 1U);
        EXPECT_EQ(errors.front(), "Unable to write to settings_test.ini");
        EXPECT_FALSE(form.FormStorage1->Saved());
    }
    EXPECT_EQ(errors.size(), 2U); // destroyed unsaved: tried again, reported again

    // Called directly, the error reaches the caller.
    TTestForm direct;
    direct.FormStorage1->RestoreSettings();
    EXPECT_THROW(direct.FormStorage1->SaveSettings(), EIniFileException);
}

TEST_F(FormStorageTest, AWindowDeletedLaterSavesBeforeItGoes)
{
    auto *form = new TTestForm;
    form->show();
    form->Volume->setValue(21);
    form->deleteLater();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(stored("Volume_Value"), "21");
    EXPECT_EQ(stored("Visible"), "1");
}

TEST_F(FormStorageTest, OneFailingPropertyDoesNotStopTheOthers)
{
    TTestForm form;
    new settings_test::Fussy(QStringLiteral("Fussy1"), &form);
    form.FormStorage1->setStoredProps({"Fussy1.Value", "Volume.Value", "Nobody.Value",
                                       "Volume.NoSuchProperty", "Volume", ".Value", "Pan."});
    writeFile("[TTestForm]\nFussy1_Value=13\nVolume_Value=44\n");
    form.FormStorage1->RestoreSettings();
    EXPECT_EQ(form.findChild<settings_test::Fussy *>()->value(), 0);
    EXPECT_EQ(form.Volume->value(), 44);
    form.FormStorage1->SaveSettings();
    EXPECT_EQ(stored("Fussy1_Value"), "0");
    EXPECT_EQ(stored("Nobody_Value"), "<missing>");
}

TEST_F(FormStorageTest, NamesAreFoundWithoutRegardToCaseAndKeysUseTheDeclaredNames)
{
    TTestForm form;
    auto *plainEdit = new QLineEdit(&form);
    plainEdit->setObjectName(QStringLiteral("PlainEdit"));
    plainEdit->setText(QStringLiteral("abc"));
    form.FormStorage1->setStoredProps({"volume.VALUE", "eq.ENABLED", "PlainEdit.Text"});
    form.FormStorage1->RestoreSettings();
    form.eq->setLit(true);
    form.FormStorage1->SaveSettings();
    const QStringList lines = fileLines();
    EXPECT_TRUE(lines.contains("Volume_Value=0"));
    // The LED's own Enabled wins over QWidget's enabled.
    EXPECT_TRUE(lines.contains("eq_Enabled=True"));
    // QLineEdit declares "text".
    EXPECT_TRUE(lines.contains("PlainEdit_text=abc"));
}

TEST_F(FormStorageTest, EnumerationsSetsWideAndObjectProperties)
{
    TTestForm form;
    auto *shaped = new settings_test::Shaped(QStringLiteral("Shaped1"), &form);
    auto *captioned = new settings_test::Captioned(QStringLiteral("Caption1"), &form);
    form.FormStorage1->setStoredProps(
        {"Shaped1.Kind", "Shaped1.Look", "Shaped1.Ratio", "ListBox1.Mask", "Caption1.Face"});
    form.FormStorage1->RestoreSettings();
    shaped->setKind(settings_test::Shaped::fpFixed);
    shaped->setLook(settings_test::Shaped::fsBold | settings_test::Shaped::fsUnderline);
    shaped->setRatio(0.25);
    form.ListBox1->setMask(0xFF000008U);
    captioned->face()->setName(QStringLiteral("Courier New"));
    captioned->face()->setBold(true);
    form.FormStorage1->SaveSettings();
    const QStringList props = fileLines().mid(10);
    const QStringList expected = {
        "Shaped1_Kind=fpFixed",
        "Shaped1_Look=[fsBold,fsUnderline]",
        "Shaped1_Ratio=0.25",
        "ListBox1_Mask=-16777208",
        // an object's properties in alphabetical order
        "Caption1_FaceBold=True",
        "Caption1_FaceName=Courier New",
        "Caption1_FaceSize=10",
    };
    EXPECT_EQ(props, expected);

    TTestForm again;
    auto *shaped2 = new settings_test::Shaped(QStringLiteral("Shaped1"), &again);
    auto *captioned2 = new settings_test::Captioned(QStringLiteral("Caption1"), &again);
    again.FormStorage1->setStoredProps(form.FormStorage1->StoredProps());
    again.FormStorage1->RestoreSettings();
    EXPECT_EQ(shaped2->kind(), settings_test::Shaped::fpFixed);
    EXPECT_EQ(shaped2->look(), settings_test::Shaped::fsBold | settings_test::Shaped::fsUnderline);
    EXPECT_DOUBLE_EQ(shaped2->ratio(), 0.25);
    EXPECT_EQ(again.ListBox1->mask(), 0xFF000008U);
    EXPECT_EQ(captioned2->face()->name(), "Courier New");
    EXPECT_TRUE(captioned2->face()->bold());

    // Unknown identifiers leave the value; unknown members are skipped.
    writeFile("[TTestForm]\nShaped1_Kind=fpWide\nShaped1_Look=[fsItalic,fsShadow]\n"
              "Shaped1_Ratio=abc\n");
    again.FormStorage1->RestoreSettings();
    EXPECT_EQ(shaped2->kind(), settings_test::Shaped::fpFixed);
    EXPECT_EQ(shaped2->look(), settings_test::Shaped::fsItalic);
    EXPECT_DOUBLE_EQ(shaped2->ratio(), 0.0);
}

TEST_F(FormStorageTest, TheDefaultFileIsTheExecutableNameWithIniAndMeetsTheLowerCaseName)
{
    TTestForm form;
    form.FormStorage1->setIniFileName(QString());
    const QString expected =
        QFileInfo(QCoreApplication::applicationFilePath()).fileName() + QStringLiteral(".INI");
    EXPECT_EQ(form.FormStorage1->effectiveIniFileName(), expected);
    EXPECT_EQ(form.FormStorage1->effectiveIniSection(), "TTestForm");
    form.FormStorage1->RestoreSettings();
    form.Volume->setValue(9);
    form.FormStorage1->SaveSettings();
    EXPECT_EQ(TIniFile(expected.toLower()).ReadString("TTestForm", "Volume_Value", ""), "9");
    form.FormStorage1->setIniSection(QStringLiteral("Other"));
    EXPECT_EQ(form.FormStorage1->effectiveIniSection(), "Other");
}

} // namespace
