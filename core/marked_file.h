#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>

// The parameter file and the mode files share one shape: 4096 bytes, the marker 0xAA 0xAA, the
// data, zero fill.
namespace MarkedFile {

constexpr uint8_t kMarker = 0xAA;

// Anything but that shape (torn, foreign, empty, not a file) is refused, said, and `dst` left
// alone; a missing file is no fault (an empty slot, a first start).
bool read(const QString &device_path, uint8_t *dst, int size);
// The whole file that holds `size` bytes of data.
QByteArray contents(const uint8_t *src, int size);
// Through the safe writer, under the file mutex, on the caller's thread (start-up and tests; the
// running program hands its files to the FileWriter).
bool write(const QString &device_path, const uint8_t *src, int size);

}
