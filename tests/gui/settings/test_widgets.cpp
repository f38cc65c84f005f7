#include "test_widgets.h"

#include <QCloseEvent>

using vokrin::settings::TFormStorage;

namespace settings_test {

TTestForm::TTestForm()
{
    setObjectName(QStringLiteral("TestForm"));
    Volume = new Knob(QStringLiteral("Volume"), 0, 100, this);
    Pan = new Knob(QStringLiteral("Pan"), -100, 100, this);
    eq = new Led(QStringLiteral("eq"), this);
    DirectoryEdit1 = new FolderEdit(QStringLiteral("DirectoryEdit1"), this);
    ListBox1 = new ColourList(QStringLiteral("ListBox1"), this);
    QFont font(QStringLiteral("Courier New"));
    font.setPixelSize(24);
    font.setBold(true);
    ListBox1->setFont(font);
    QPalette palette = ListBox1->palette();
    palette.setColor(QPalette::Text, Qt::white);
    ListBox1->setPalette(palette);
    setGeometry(121, 129, 761, 577);

    FormStorage1 = new TFormStorage(this);
    FormStorage1->setObjectName(QStringLiteral("FormStorage1"));
    FormStorage1->setIniFileName(QStringLiteral("settings_test.ini"));
    FormStorage1->setStoredProps({"ListBox1.Color", "ListBox1.Font", "ListBox1.Tag", "Volume.Value",
                                  "Pan.Value", "eq.Enabled", "DirectoryEdit1.Text"});
}

TTestForm::~TTestForm()
{
    FormStorage1->windowDestroying();
    if (onDestroy)
        onDestroy();
}

void TTestForm::showEvent(QShowEvent *event)
{
    volumeSeenByShow.push_back(Volume->value());
    QWidget::showEvent(event);
}

void TTestForm::closeEvent(QCloseEvent *event)
{
    if (allowClose)
        event->accept();
    else
        event->ignore();
}

} // namespace settings_test
