#include "platform/records/RecordBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "platform/values/Windows1252.h"

namespace {

uint64_t LoadLE(const uint8_t* p, int width) {
    uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

void StoreLE(uint8_t* p, uint64_t v, int width) {
    for (int i = 0; i < width; ++i) { p[i] = static_cast<uint8_t>(v & 0xFF); v >>= 8; }
}

double LoadReal(const uint8_t* p) {
    const uint64_t bits = LoadLE(p, 8);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

void StoreReal(uint8_t* p, double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    StoreLE(p, bits, 8);
}

void ClearElement(const Field& f, uint8_t* p) {
    switch (f.type) {
    case FieldType::String: std::memset(p, ' ', f.width); break;
    case FieldType::Decimal:
        std::memset(p, 0, f.width);
        Decimal().EncodePacked({p, static_cast<size_t>(f.width)});
        break;
    default: std::memset(p, 0, f.width); break;
    }
}

} // namespace

RecordBuffer::RecordBuffer(std::shared_ptr<const Layout> layout)
    : layout_(std::move(layout)), bytes_(layout_->Size()) {
    Clear();
}

int RecordBuffer::At(const Field& f, int index) const {
    if (index < 0 || index > f.count || (index == 0 && f.count > 1))
        throw std::out_of_range(f.name + ": index " + std::to_string(index) + " out of 1.." + std::to_string(f.count));
    return f.Offset(index);
}

void RecordBuffer::Clear() {
    for (const auto& f : layout_->Fields()) {
        if (f->type == FieldType::Group) continue;
        for (int i = 1; i <= f->count; ++i) ClearElement(*f, bytes_.data() + f->Offset(i));
    }
}

void RecordBuffer::ClearField(const Field& g, int index) {
    if (index == 0 && g.count > 1) {
        for (int i = 1; i <= g.count; ++i) ClearField(g, i);
        return;
    }
    const int start = At(g, index);
    if (g.type != FieldType::Group) { ClearElement(g, bytes_.data() + start); return; }
    const int end = start + g.width;
    for (const auto& f : layout_->Fields()) {
        if (f->type == FieldType::Group) continue;
        for (int i = 1; i <= f->count; ++i) {
            const int o = f->Offset(i);
            if (o >= start && o + f->width <= end) ClearElement(*f, bytes_.data() + o);
        }
    }
}

int64_t RecordBuffer::GetInt(const Field& f, int index) const {
    const uint8_t* p = bytes_.data() + At(f, index);
    switch (f.type) {
    case FieldType::Byte: return p[0];
    case FieldType::Ushort: return static_cast<uint16_t>(LoadLE(p, 2));
    case FieldType::Long: return static_cast<int32_t>(static_cast<uint32_t>(LoadLE(p, 4)));
    case FieldType::Ulong: return static_cast<uint32_t>(LoadLE(p, 4));
    case FieldType::Real: {
        const double d = LoadReal(p);
        if (!std::isfinite(d) || std::fabs(d) >= 9.2e18) return 0;
        return static_cast<int64_t>(d);
    }
    case FieldType::Decimal: return GetDecimal(f, index).Cents() / Decimal::kScale;
    default: throw std::out_of_range(f.name + ": not a number field");
    }
}

void RecordBuffer::SetInt(const Field& f, int64_t value, int index) {
    uint8_t* p = bytes_.data() + At(f, index);
    switch (f.type) {
    case FieldType::Byte:
    case FieldType::Ushort:
    case FieldType::Long:
    case FieldType::Ulong: StoreLE(p, static_cast<uint64_t>(value), f.width); break;
    case FieldType::Real: StoreReal(p, static_cast<double>(value)); break;
    case FieldType::Decimal: SetDecimal(f, Decimal::FromWhole(value), index); break;
    default: throw std::out_of_range(f.name + ": not a number field");
    }
}

double RecordBuffer::GetReal(const Field& f, int index) const {
    if (f.type == FieldType::Real) return LoadReal(bytes_.data() + At(f, index));
    if (f.type == FieldType::Decimal) return GetDecimal(f, index).ToDouble();
    return static_cast<double>(GetInt(f, index));
}

void RecordBuffer::SetReal(const Field& f, double value, int index) {
    if (f.type == FieldType::Real) { StoreReal(bytes_.data() + At(f, index), value); return; }
    if (f.type == FieldType::Decimal) { SetDecimal(f, Decimal::FromDouble(std::isfinite(value) ? value : 0), index); return; }
    // Truncation toward zero, and no undefined conversion for values out of range.
    const double t = std::isfinite(value) ? std::trunc(value) : 0;
    SetInt(f, t >= 9.2e18 || t <= -9.2e18 ? 0 : static_cast<int64_t>(t), index);
}

Decimal RecordBuffer::GetDecimal(const Field& f, int index) const {
    if (f.type != FieldType::Decimal) {
        if (f.type == FieldType::Real) return Decimal::FromDouble(GetReal(f, index));
        return Decimal::FromWhole(GetInt(f, index));
    }
    const auto d = Decimal::DecodePacked(std::span<const uint8_t>(bytes_.data() + At(f, index), f.width));
    return d ? *d : Decimal();
}

void RecordBuffer::SetDecimal(const Field& f, Decimal value, int index) {
    if (f.type != FieldType::Decimal) {
        if (f.type == FieldType::Real) SetReal(f, value.ToDouble(), index);
        else SetInt(f, value.Cents() / Decimal::kScale, index);
        return;
    }
    const int64_t limit = Decimal::PackedLimit(f.width);
    const Decimal v = Decimal::FromCents(std::clamp(value.Cents(), -limit, limit));
    v.EncodePacked(std::span<uint8_t>(bytes_.data() + At(f, index), f.width));
}

std::string RecordBuffer::GetString(const Field& f, int index) const {
    if (f.type != FieldType::String) throw std::out_of_range(f.name + ": not a string field");
    const char* p = reinterpret_cast<const char*>(bytes_.data() + At(f, index));
    size_t n = f.width;
    while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0')) --n;
    return Cp1252ToUtf8(std::string_view(p, n));
}

void RecordBuffer::SetString(const Field& f, std::string_view utf8, int index) {
    if (f.type != FieldType::String) throw std::out_of_range(f.name + ": not a string field");
    uint8_t* p = bytes_.data() + At(f, index);
    const std::string cp = Utf8ToCp1252(utf8);
    const size_t n = std::min(cp.size(), static_cast<size_t>(f.width));
    std::memcpy(p, cp.data(), n);
    std::memset(p + n, ' ', f.width - n);
}

std::span<uint8_t> RecordBuffer::Raw(const Field& f, int index) {
    return {bytes_.data() + At(f, index), static_cast<size_t>(f.width)};
}

std::span<const uint8_t> RecordBuffer::Raw(const Field& f, int index) const {
    return {bytes_.data() + At(f, index), static_cast<size_t>(f.width)};
}

void RecordBuffer::CopyFrom(const RecordBuffer& other) {
    if (other.bytes_.size() != bytes_.size()) throw std::out_of_range("record sizes differ");
    bytes_ = other.bytes_;
}
