#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>

class QImage;

namespace vokrin::e2e {

class XServer;

// How a scenario reaches the main window of the real program: its place on the screen and
// the buttons of its control panel (the 224-px panel at the right edge of the 761-px
// window; buttons 28 x 25 in rows at y 48 and y 80, the first 8 px in).
inline const QString kProgramTitle = QStringLiteral("Вокрин");
inline constexpr int kMainWindowWidth = 761;
inline constexpr int kMainWindowHeight = 577;
inline const QPoint kOpenListButton(761 - 224 + 8 + 14, 80 + 12);
inline const QPoint kWizardButton(761 - 224 + 8 + 14, 48 + 12);
// The catalogue fills the panel between its 111-px top block and its 199-px bottom block;
// its first entry is the row under the column headers.
inline const QPoint kFirstCatalogueEntry(761 - 224 + 40, 111 + 22);
// The reverb LED (16 x 8 at 198, 18 of the bottom block): lime when lit, green when not.
inline const QPoint kReverbLed(761 - 224 + 198 + 8, 577 - 199 + 18 + 4);

// Red hint text on the default black list with white lines. Stored as the program stores
// colours (0x00BBGGRR); the colour button's value is restored after the list's own, and
// its change handler sets the hint again, so both carry it.
inline const QByteArray kRedHintSettings =
    "[TMainForm]\r\nListBox1_Tag=255\r\nMMColorButton2_Value=255\r\n";

// Presses Enter in the main window (Play) while `rawFile` records the sound server, and
// waits for the first frame louder than `level`; that frame, or -1 when nothing played.
std::int64_t pressEnterToPlay(const XServer &x, const QString &mainWindow, const QString &rawFile,
                              double level);

// How lyric line `line` looks on a picture of the main window (XServer::grab) taken with
// the red hint colour: lit when its row holds red text and no white, unlit the other way
// round, unreadable when neither (a repaint caught halfway, or no such line).
enum class LineLook { Lit, Unlit, Unreadable };
LineLook lookOfLine(const QImage &window, int line);

// Whether the control panel is collapsed (Esc): the black lyric list then reaches the
// window's right edge.
bool controlPanelHidden(const QImage &window);
// Whether the reverb LED shows lit (lime) or unlit (green); neither while the panel is
// collapsed.
bool reverbLedLit(const QImage &window);
bool reverbLedUnlit(const QImage &window);

// Waits up to `timeoutMs` for what the window shows to satisfy `shows`.
bool waitUntilShown(const XServer &x, const QString &window,
                    const std::function<bool(const QImage &)> &shows, int timeoutMs = 20000);

// Waits for the splash and then the main window (the splash has the same title; the main
// window is the one 761 px wide); the main window's id, or empty when it did not come.
// `splash` receives the splash's id.
QString waitForMainWindow(const XServer &x, QString *splash = nullptr);

// Opens a list file into the catalogue as a user does: the open-list button, then the
// path typed into the file dialog; returns once the catalogue shows its first entry.
// Empty when that worked, else what went wrong.
QString openListFile(const XServer &x, const QString &mainWindow, const QString &listFile);

} // namespace vokrin::e2e
