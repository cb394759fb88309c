#pragma once
// The "Data Count" edit: how its text becomes a sample count.

#include "link/frames.h"

#include <QString>

constexpr int kDefaultDataCount = 45;
constexpr int kMaxDataCount = kMaxItemsPerRequest;

// Decimal conversion of at most the first 9 characters: leading white space skipped, an
// optional sign, digits up to the first other character; no digits gives 0.
int ParseDataCount(const QString &text);

struct StartCount {
    int count;        // 45 in place of 0
    bool showDefault; // the edit is to show "45"
};
StartCount CountForStart(const QString &text);

// A 5-character text above kMaxDataCount: the edit change refuses it and puts kMaxDataCount
// in its place.
bool DataCountTooLarge(const QString &text);
