#pragma once

#include "settings/form_storage.h"

#include <QFlags>
#include <QFont>
#include <QLineEdit>
#include <QObject>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

// Small stand-ins for the program's controls: each keeps the property the form storage
// reaches by name, with the behaviour the real control has (clamping, change signals).
namespace settings_test {

// A rotary knob: the setter clamps to the range and signals only a real change.
class Knob : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Value READ value WRITE setValue NOTIFY Change)

public:
    Knob(const QString &name, int minValue, int maxValue, QWidget *parent)
        : QWidget(parent), m_min(minValue), m_max(maxValue), m_value(std::max(0, minValue))
    {
        setObjectName(name);
    }
    int value() const { return m_value; }
    void setValue(int value)
    {
        value = std::clamp(value, m_min, m_max);
        if (value == m_value)
            return;
        m_value = value;
        Q_EMIT Change(value);
    }

Q_SIGNALS:
    void Change(int value);

private:
    int m_min;
    int m_max;
    int m_value;
};

// An LED whose lit state is the property `Enabled` (QWidget has its own `enabled`).
class Led : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ isLit WRITE setLit)

public:
    Led(const QString &name, QWidget *parent) : QWidget(parent) { setObjectName(name); }
    bool isLit() const { return m_lit; }
    void setLit(bool lit) { m_lit = lit; }

private:
    bool m_lit = false;
};

// A folder box with the declared property `Text`.
class FolderEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)

public:
    FolderEdit(const QString &name, QWidget *parent) : QLineEdit(parent) { setObjectName(name); }
};

// A list with colours as 0x00BBGGRR ints, a whole-number tag and a font.
class ColourList : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(int Tag READ tag WRITE setTag)
    Q_PROPERTY(QFont Font READ font WRITE setFont)
    Q_PROPERTY(uint Mask READ mask WRITE setMask)

public:
    ColourList(const QString &name, QWidget *parent) : QWidget(parent) { setObjectName(name); }
    int color() const { return m_color; }
    void setColor(int color) { m_color = color; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    uint mask() const { return m_mask; }
    void setMask(uint mask) { m_mask = mask; }

private:
    int m_color = 0;
    int m_tag = 0;
    uint m_mask = 0;
};

// A control with an enumeration and a set.
class Shaped : public QWidget
{
    Q_OBJECT

public:
    enum Pitch { fpDefault, fpVariable, fpFixed };
    Q_ENUM(Pitch)
    enum Style { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    Q_DECLARE_FLAGS(Styles, Style)
    Q_FLAG(Styles)

private:
    Q_PROPERTY(Pitch Kind READ kind WRITE setKind)
    Q_PROPERTY(Styles Look READ look WRITE setLook)
    Q_PROPERTY(double Ratio READ ratio WRITE setRatio)

public:
    Shaped(const QString &name, QWidget *parent) : QWidget(parent) { setObjectName(name); }
    Pitch kind() const { return m_kind; }
    void setKind(Pitch kind) { m_kind = kind; }
    Styles look() const { return m_look; }
    void setLook(Styles look) { m_look = look; }
    double ratio() const { return m_ratio; }
    void setRatio(double ratio) { m_ratio = ratio; }

private:
    Pitch m_kind = fpDefault;
    Styles m_look;
    double m_ratio = 0.5;
};

// A control whose setter refuses one value by throwing.
class Fussy : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Value READ value WRITE setValue)

public:
    Fussy(const QString &name, QWidget *parent) : QWidget(parent) { setObjectName(name); }
    int value() const { return m_value; }
    void setValue(int value)
    {
        if (value == 13)
            throw std::runtime_error("unlucky");
        m_value = value;
    }

private:
    int m_value = 0;
};

// A font kept as an object with properties of its own.
class FontObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Name READ name WRITE setName)
    Q_PROPERTY(int Size READ size WRITE setSize)
    Q_PROPERTY(bool Bold READ bold WRITE setBold)

public:
    using QObject::QObject;
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    int size() const { return m_size; }
    void setSize(int size) { m_size = size; }
    bool bold() const { return m_bold; }
    void setBold(bool bold) { m_bold = bold; }

private:
    QString m_name = QStringLiteral("Arial");
    int m_size = 10;
    bool m_bold = false;
};

class Captioned : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(settings_test::FontObject *Face READ face)

public:
    Captioned(const QString &name, QWidget *parent) : QWidget(parent), m_face(new FontObject(this))
    {
        setObjectName(name);
    }
    FontObject *face() const { return m_face; }

private:
    FontObject *m_face;
};

// A window like the program's: its own show step reads the restored values, its own close
// step may refuse, and its destructor tells the storage first.
class TTestForm : public QWidget
{
    Q_OBJECT

public:
    TTestForm();
    ~TTestForm() override;

    Knob *Volume;
    Knob *Pan;
    Led *eq;
    FolderEdit *DirectoryEdit1;
    ColourList *ListBox1;
    vokrin::settings::TFormStorage *FormStorage1;

    bool allowClose = true;
    std::vector<int> volumeSeenByShow;
    std::function<void()> onDestroy;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};

} // namespace settings_test

Q_DECLARE_OPERATORS_FOR_FLAGS(settings_test::Shaped::Styles)
