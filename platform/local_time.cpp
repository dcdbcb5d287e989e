#include "platform/local_time.h"

#include <QRegularExpression>

LocalDateTime MakeLocalDateTime(const QDateTime& when, const QLocale& locale) {
    LocalDateTime out;
    out.shortDate = locale.toString(when.date(), QLocale::ShortFormat).toStdString();
    // Qt's long time format names the time zone; the clock shows the time alone.
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\(?t+\\)?\\s*$")));
    format.remove(QRegularExpression(QStringLiteral("^\\s*t+\\s*")));
    out.longTime = locale.toString(when.time(), format.trimmed()).toStdString();
    const QTime t = when.time();
    out.midnight = t.hour() == 0 && t.minute() == 0 && t.second() == 0 && t.msec() == 0;
    return out;
}
