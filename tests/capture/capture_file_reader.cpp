#include "capture_file_reader.h"

#include <QFile>
#include <QStringList>

#include <hdf5.h>

#include <algorithm>

namespace {
std::string readString(hid_t attribute) {
    const hid_t type = H5Aget_type(attribute);
    std::string value;
    if (H5Tis_variable_str(type) > 0) {
        char *text = nullptr;
        if (H5Aread(attribute, type, &text) >= 0 && text) {
            value = text;
            H5free_memory(text);
        }
    }
    H5Tclose(type);
    return value;
}

herr_t readAttribute(hid_t location, const char *name, const H5A_info_t *, void *data) {
    auto *contents = static_cast<CaptureFileContents *>(data);
    const hid_t attribute = H5Aopen(location, name, H5P_DEFAULT);
    const hid_t type = H5Aget_type(attribute);
    const hid_t space = H5Aget_space(attribute);
    const H5T_class_t kind = H5Tget_class(type);
    if (kind == H5T_STRING) {
        contents->text[name] = readString(attribute);
    } else if (std::string(name) == "registers") {
        contents->registers.resize(static_cast<size_t>(H5Sget_simple_extent_npoints(space)));
        H5Aread(attribute, H5T_NATIVE_UINT8, contents->registers.data());
    } else {
        double value = 0;
        H5Aread(attribute, H5T_NATIVE_DOUBLE, &value);
        contents->numbers[name] = value;
    }
    H5Sclose(space);
    H5Tclose(type);
    H5Aclose(attribute);
    return 0;
}

template <typename T> std::vector<T> readColumn(hid_t file, const char *dataset, hid_t type) {
    std::vector<T> values;
    const hid_t set = H5Dopen2(file, dataset, H5P_DEFAULT);
    if (set < 0)
        return values;
    const hid_t space = H5Dget_space(set);
    values.resize(static_cast<size_t>(H5Sget_simple_extent_npoints(space)));
    if (!values.empty())
        H5Dread(set, type, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data());
    H5Sclose(space);
    H5Dclose(set);
    return values;
}
} // namespace

CaptureFileContents ReadHdf5Capture(const QString &path) {
    CaptureFileContents contents;
    H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
    const hid_t file = H5Fopen(path.toLocal8Bit().constData(), H5F_ACC_RDONLY, H5P_DEFAULT);
    if (file < 0)
        return contents;
    contents.opened = true;
    contents.codes = readColumn<int32_t>(file, "codes", H5T_NATIVE_INT32);
    contents.times = readColumn<double>(file, "time_s", H5T_NATIVE_DOUBLE);
    if (const hid_t times = H5Dopen2(file, "time_s", H5P_DEFAULT); times >= 0) {
        if (const hid_t rule = H5Aopen(times, "time_rule", H5P_DEFAULT); rule >= 0) {
            contents.text["time_rule"] = readString(rule);
            H5Aclose(rule);
        }
        H5Dclose(times);
    }
    // The block records' fields, each read into its own column.
    const hid_t first = H5Tcreate(H5T_COMPOUND, sizeof(uint64_t));
    H5Tinsert(first, "first_sample", 0, H5T_NATIVE_UINT64);
    contents.blockFirstSamples = readColumn<uint64_t>(file, "blocks", first);
    H5Tclose(first);
    const hid_t samples = H5Tcreate(H5T_COMPOUND, sizeof(uint32_t));
    H5Tinsert(samples, "samples", 0, H5T_NATIVE_UINT32);
    contents.blockSamples = readColumn<uint32_t>(file, "blocks", samples);
    H5Tclose(samples);
    H5Aiterate2(file, H5_INDEX_NAME, H5_ITER_INC, nullptr, readAttribute, &contents);
    H5Fclose(file);
    return contents;
}

CaptureFileContents ReadCsvCapture(const QString &path) {
    CaptureFileContents contents;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return contents;
    contents.opened = true;
    bool header = false;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("# ")) {
            const int colon = line.indexOf(": ");
            contents.text[line.mid(2, colon - 2).toStdString()] = line.mid(colon + 2).toStdString();
        } else if (line == "index,time_s,code,volts") {
            header = true;
        } else if (header && !line.isEmpty()) {
            const QList<QByteArray> fields = line.split(',');
            if (fields.size() == 4) {
                contents.codes.push_back(fields[2].toInt());
                contents.times.push_back(fields[1].toDouble());
            }
        }
    }
    return contents;
}

CaptureFileContents ReadCapture(const QString &path) {
    return path.endsWith(QLatin1String(".csv")) ? ReadCsvCapture(path) : ReadHdf5Capture(path);
}

bool StrictlyRising(const std::vector<double> &times) {
    return std::adjacent_find(times.begin(), times.end(),
                              [](double a, double b) { return !(a < b); }) == times.end();
}

bool Consecutive(const std::vector<int32_t> &codes, int64_t first) {
    if (codes.empty())
        return true;
    const int64_t start = first >= 0 ? first : (codes.front() & 0xFFFFFF);
    for (size_t i = 0; i < codes.size(); ++i) {
        const uint32_t expected = static_cast<uint32_t>(start + static_cast<int64_t>(i)) & 0xFFFFFF;
        if (static_cast<int32_t>(expected << 8) >> 8 != codes[i])
            return false;
    }
    return true;
}
