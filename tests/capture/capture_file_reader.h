#pragma once
// Reads a capture's file back as a user's script would: HDF5 through the HDF5 library, CSV as
// text. Only what the tests compare.

#include <QString>

#include <cstdint>
#include <map>
#include <vector>

struct CaptureFileContents {
    bool opened = false;
    std::vector<int32_t> codes;
    std::vector<double> times; // time_s, one per code
    std::vector<uint64_t> blockFirstSamples;
    std::vector<uint32_t> blockSamples;
    std::map<std::string, std::string> text; // string attributes, or "# name: value" lines
    std::map<std::string, double> numbers;   // numeric attributes
    std::vector<uint8_t> registers;
};

CaptureFileContents ReadHdf5Capture(const QString &path);
CaptureFileContents ReadCsvCapture(const QString &path);
CaptureFileContents ReadCapture(const QString &path); // by suffix

// Every time after the one before it.
bool StrictlyRising(const std::vector<double> &times);
// The counting board's codes: 24-bit two's complement of first, first + 1, ...
bool Consecutive(const std::vector<int32_t> &codes, int64_t first = -1);
