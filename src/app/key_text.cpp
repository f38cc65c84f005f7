#include "app/key_text.h"

namespace vokrin::app {

bool typesText(QStringView text)
{
    return !text.isEmpty() && text.front().isPrint();
}

} // namespace vokrin::app
