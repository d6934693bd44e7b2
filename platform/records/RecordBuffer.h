#pragma once
// The bytes of one record and typed access to its fields by name. Index is the 1-based element
// of a DIM field or of a field inside a GROUP with DIM (1..n), and 0 or 1 for a single field.
// An unknown field name or an index out of range throws std::out_of_range: those are faults of
// the calling code, not of the data.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/records/Layout.h"
#include "platform/values/Decimal.h"

class RecordBuffer {
public:
    explicit RecordBuffer(std::shared_ptr<const Layout> layout);

    const Layout& GetLayout() const { return *layout_; }
    int Size() const { return layout_->Size(); }
    std::span<uint8_t> Bytes() { return bytes_; }
    std::span<const uint8_t> Bytes() const { return bytes_; }

    // Strings blank (spaces), numbers and decimals 0, for every field.
    void Clear();

    // BYTE, USHORT, LONG, ULONG; a DECIMAL reads as its whole part, a REAL truncated.
    // Setting stores the value modulo the field's width, as a narrowing assignment does.
    int64_t GetInt(std::string_view name, int index = 0) const { return GetInt(Find(name), index); }
    void SetInt(std::string_view name, int64_t value, int index = 0) { SetInt(Find(name), value, index); }
    double GetReal(std::string_view name, int index = 0) const { return GetReal(Find(name), index); }
    void SetReal(std::string_view name, double value, int index = 0) { SetReal(Find(name), value, index); }
    // DECIMAL; a value that does not fit is clamped to the field's largest magnitude.
    // Unreadable packed bytes read as 0.
    ::Decimal GetDecimal(std::string_view name, int index = 0) const { return GetDecimal(Find(name), index); }
    void SetDecimal(std::string_view name, ::Decimal value, int index = 0) { SetDecimal(Find(name), value, index); }
    // STRING: UTF-8 in, UTF-8 out without the trailing blanks. Text longer than the field is cut
    // (whole characters), characters outside Windows-1252 become "?".
    std::string GetString(std::string_view name, int index = 0) const { return GetString(Find(name), index); }
    void SetString(std::string_view name, std::string_view utf8, int index = 0) { SetString(Find(name), utf8, index); }
    // Raw bytes of any field or group element.
    std::span<uint8_t> Raw(std::string_view name, int index = 0) { return Raw(Find(name), index); }
    std::span<const uint8_t> Raw(std::string_view name, int index = 0) const { return Raw(Find(name), index); }

    // The same by field, for loops that look the field up once.
    int64_t GetInt(const Field& f, int index = 0) const;
    void SetInt(const Field& f, int64_t value, int index = 0);
    double GetReal(const Field& f, int index = 0) const;
    void SetReal(const Field& f, double value, int index = 0);
    ::Decimal GetDecimal(const Field& f, int index = 0) const;
    void SetDecimal(const Field& f, ::Decimal value, int index = 0);
    std::string GetString(const Field& f, int index = 0) const;
    void SetString(const Field& f, std::string_view utf8, int index = 0);
    std::span<uint8_t> Raw(const Field& f, int index = 0);
    std::span<const uint8_t> Raw(const Field& f, int index = 0) const;

    // Clears one field or group element as Clear() does for the whole record; index 0 of a DIM
    // field or group clears every element.
    void ClearField(std::string_view name, int index = 0) { ClearField(Find(name), index); }
    void ClearField(const Field& f, int index = 0);

    // Copy of the record bytes from another buffer of the same size (an alias of the layout).
    void CopyFrom(const RecordBuffer& other);

private:
    const Field& Find(std::string_view name) const { return layout_->At(name); }
    int At(const Field& f, int index) const;
    std::shared_ptr<const Layout> layout_;
    std::vector<uint8_t> bytes_;
};
