#include "capture_writer.h"

#include "csv_writer.h"
#include "hdf5_writer.h"

namespace capture {

std::unique_ptr<CaptureWriter> MakeWriter(FileFormat format) {
    if (format == FileFormat::Csv)
        return std::make_unique<CsvWriter>();
    return std::make_unique<Hdf5Writer>();
}

} // namespace capture
