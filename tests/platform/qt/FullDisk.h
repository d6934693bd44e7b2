#pragma once
// A disk that fills up, for the tests of full disks on any machine and without root: while a
// FullDisk lives, writes to files in its folder succeed only for the bytes still free, then fail
// with ENOSPC as on a full disk (a write that goes beyond the room writes what fits). Writes to
// anything else go through unchanged. It works through this test program's own write(), which
// stands in for the C library's for Qt and the program's code alike.
#include <cstddef>
#include <string>

class FullDisk {
public:
    FullDisk(const std::string& folder, size_t freeBytes);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Bytes that did not fit so far: a test sees that the disk was really met.
    size_t Refused() const;
};
