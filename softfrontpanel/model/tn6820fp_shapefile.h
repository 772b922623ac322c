#ifndef TN6820FP_SHAPEFILE_H
#define TN6820FP_SHAPEFILE_H

#include <QString>
#include <cstddef>
#include <vector>

// Reading one cycle of an arbitrary waveform: a CSV text or an audio file.

// The most values a shape may have: rows of a CSV file, frames of an audio file.
constexpr std::size_t tn6820fp_maxShapeValues = 1000000;
// The longest name of a shape's file a setup may carry, in characters: as
// long as a file's name may be on the usual file systems.
constexpr int tn6820fp_maxShapeFileName = 255;

struct tn6820fp_shape
{
    std::vector<double> values; // the cycle, normalised to -1..1
    QString error;              // why nothing was read; empty when read
};

// One cycle from CSV text: one column of values, or two (time, value) of
// which only the rows' order counts. A byte-order mark is skipped; a first
// line that holds a letter and no number is a header; blank lines are
// skipped. Comma, semicolon or tab separate the columns, except in a file
// whose first line holds a semicolon, where a comma is the decimal mark. A
// comma-separated pair whose reading is in doubt (its first column does not
// increase, or every field is a bare whole number) is refused. An error names
// the line.
tn6820fp_shape tn6820fp_readCsvShape(const char *data, std::size_t size);

// One cycle from an audio file held in memory, read by libsndfile: the first
// channel of every frame libsndfile gives, whatever length the header states
// (a stream's header may state none). An error gives libsndfile's own text,
// or the byte where a truncated file ends.
tn6820fp_shape tn6820fp_readAudioShape(const char *data, std::size_t size);

// A file read as audio when libsndfile knows its format (CSV and TXT files
// always as CSV), as CSV otherwise. Anything but a regular file is refused
// unopened. An error starts with the file's name.
tn6820fp_shape tn6820fp_readShapeFile(const QString &path);

// Scales the values by their largest magnitude to -1..1; all zeros stay zeros.
void tn6820fp_normalise(std::vector<double> &values);

#endif
