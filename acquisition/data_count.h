#pragma once
// The "Data Count" edit: how its text becomes a sample count.

#include <QString>

constexpr int kDefaultDataCount = 45;
constexpr int kMaxDataCount = 65535;

// Decimal conversion of at most the first 9 characters: leading white space skipped, an
// optional sign, digits up to the first other character; no digits gives 0.
int ParseDataCount(const QString &text);

struct StartCount {
    int count;        // 45 in place of 0
    bool showDefault; // the edit is to show "45"
};
StartCount CountForStart(const QString &text);

// A 5-character text above 65535: the edit change refuses it and puts "65535" in its place.
bool DataCountTooLarge(const QString &text);
