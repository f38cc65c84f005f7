#include "report_header.h"

namespace vokrin::crashreport {

const char *headerLabel(HeaderField field)
{
    static const char *const labels[HeaderFieldCount] = {
        "date/time",        "computer name",     "wts client name", "user name",
        "operating system", "system language",   "system up time",  "program up time",
        "processor",        "processors",        "physical memory", "system resources",
        "free disk space",  "display mode",      "process id",      "allocated memory",
        "command line",     "executable",        "current module",  "exec. date/time",
        "module date/time", "version",           "bde version",     "reporter version",
        "exception class",  "exception message",
    };
    if (field < 0 || field >= HeaderFieldCount)
        return "";
    return labels[field];
}

void writeHeaderLine(SafeBuffer &out, const char *label, const char *value)
{
    out.appendPadded(label, kHeaderLabelWidth);
    out.append(": ");
    // Line breaks inside a value (an exception message) become CR LF like every other
    // line of the report; a lone CR is dropped.
    for (const char *p = value; p != nullptr && *p != '\0'; ++p) {
        if (*p == '\n')
            out.newLine();
        else if (*p != '\r')
            out.appendChar(*p);
    }
    out.newLine();
}

void writeHeader(SafeBuffer &out, const ReportHeader &header)
{
    for (int field = 0; field < HeaderFieldCount; ++field)
        writeHeaderLine(out, headerLabel(static_cast<HeaderField>(field)), header.values[field]);
}

namespace {

// Days since 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's algorithm).
void civilFromDays(std::int64_t days, std::int64_t &year, unsigned &month, unsigned &day)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    if (month <= 2)
        ++year;
}

} // namespace

void writeDateTime(SafeBuffer &out, std::int64_t unixSeconds, int milliseconds,
                   std::int64_t utcOffsetSeconds)
{
    const std::int64_t local = unixSeconds + utcOffsetSeconds;
    std::int64_t days = local / 86400;
    std::int64_t secondOfDay = local % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    civilFromDays(days, year, month, day);
    out.appendSigned(year);
    out.appendChar('-');
    out.appendDecimal(month, 2);
    out.appendChar('-');
    out.appendDecimal(day, 2);
    out.append(", ");
    out.appendDecimal(static_cast<std::uint64_t>(secondOfDay / 3600), 2);
    out.appendChar(':');
    out.appendDecimal(static_cast<std::uint64_t>(secondOfDay / 60 % 60), 2);
    out.appendChar(':');
    out.appendDecimal(static_cast<std::uint64_t>(secondOfDay % 60), 2);
    out.appendChar('.');
    out.appendDecimal(static_cast<std::uint64_t>(milliseconds < 0 ? 0 : milliseconds % 1000), 3);
}

void writeDuration(SafeBuffer &out, std::uint64_t seconds)
{
    const std::uint64_t days = seconds / 86400;
    if (days > 0) {
        out.appendDecimal(days);
        out.append(days == 1 ? " day " : " days ");
    }
    out.appendDecimal(seconds / 3600 % 24, 2);
    out.appendChar(':');
    out.appendDecimal(seconds / 60 % 60, 2);
    out.appendChar(':');
    out.appendDecimal(seconds % 60, 2);
}

} // namespace vokrin::crashreport
