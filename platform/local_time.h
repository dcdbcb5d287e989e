// The local date and time in a locale's formats (the long time format without a time zone).
#pragma once

#include <QDateTime>
#include <QLocale>

#include "core/system_info.h"

LocalDateTime MakeLocalDateTime(const QDateTime& when, const QLocale& locale);
