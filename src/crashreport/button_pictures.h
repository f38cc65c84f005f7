#pragma once

#include <QPixmap>
#include <QString>

namespace vokrin::crashreport {

// The box's built-in button pictures, 16x16, by name: "MEIMAIL", "MEISAVE", "MEIPRINT",
// "MEISHOW", "MEICONTINUE", "MEIRESTART", "MEICLOSE" and "MEICANTCONTINUE" (the continue
// picture crossed out, for a box that cannot go on). A null pixmap for any other name.
QPixmap buttonPicture(const QString &name);

} // namespace vokrin::crashreport
