// The file dialogs' filter list "description|patterns|description|patterns", patterns separated by
// ';', as Qt name filters "description (pattern pattern)".
#pragma once

#include <QString>
#include <QStringList>

QStringList ToQtNameFilters(const QString& filter);
