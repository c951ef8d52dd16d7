#pragma once

#include <QString>

class QJsonValue;

// What the commands print: UTF-8 lines and indented JSON on standard output.
void CliPrint(const QString &text);
void CliPrintJson(const QJsonValue &value);
