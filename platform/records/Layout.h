#pragma once
// Record layouts: the fields of a record with their type, offset and width, and its keys.
// A record is the packed concatenation of its fields, little-endian, without gaps.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

enum class FieldType : uint8_t { Byte, Ushort, Long, Ulong, Real, Decimal, String, Group };

// One named field. A field inside a GROUP with DIM(n), or declared with DIM(n) itself, has
// `count` elements `stride` bytes apart, indexed 1..count; otherwise count is 1.
struct Field {
    std::string name;
    FieldType type = FieldType::Long;
    int offset = 0;
    int width = 0;     // bytes of one element
    int count = 1;
    int stride = 0;
    int places = 0;    // Decimal only
    std::string group; // enclosing group, empty at the top level

    int Offset(int index) const { return offset + (index > 0 ? index - 1 : 0) * stride; }
};

struct KeyDef {
    std::string name;
    std::vector<const Field*> components; // ascending each
    bool unique = false;
};

class Layout {
public:
    const std::string& Name() const { return name_; }
    int Size() const { return size_; }
    const std::vector<std::unique_ptr<Field>>& Fields() const { return fields_; }
    const std::vector<KeyDef>& Keys() const { return keys_; }

    // Field by name (case-insensitive); nullptr when unknown.
    const Field* Find(std::string_view name) const;
    // Field by name; throws std::out_of_range when unknown (a fault of the calling code).
    const Field& At(std::string_view name) const;
    // Key index by name (case-insensitive), -1 when unknown.
    int FindKey(std::string_view name) const;
    // Text that changes whenever the size or the keys change; stored with every table.
    std::string Signature() const;

private:
    friend class LayoutBuilder;
    std::string name_;
    int size_ = 0;
    std::vector<std::unique_ptr<Field>> fields_;
    std::unordered_map<std::string, const Field*> byName_; // upper-case name
    std::vector<KeyDef> keys_;
};

// Declares a layout field by field, in record order:
//   LayoutBuilder("SCHICHT").Long("ID").Long("STEP").Ulong("SYSID")
//       .Group("TERMIN").Ulong("BEGINN").Ulong("ENDE").End()
//       .Group("PAUSEN", 5).Ushort("LAGE").Ushort("DAUER").Byte("BEZAHLT").End()
//       .Key("KeyID", {"ID", "STEP"}, KeyDup).Build();
// Misuse (a duplicate name, a DIM inside a DIM group, an unknown key field) throws
// std::logic_error: layouts are fixed at build time.
enum KeyDuplicates : bool { KeyDup = false, KeyUnique = true };

class LayoutBuilder {
public:
    explicit LayoutBuilder(std::string name);
    LayoutBuilder& Byte(std::string name, int dim = 1);
    LayoutBuilder& Ushort(std::string name, int dim = 1);
    LayoutBuilder& Long(std::string name, int dim = 1);
    LayoutBuilder& Ulong(std::string name, int dim = 1);
    LayoutBuilder& Real(std::string name, int dim = 1);
    LayoutBuilder& Decimal(std::string name, int bytes = 3, int places = 2, int dim = 1);
    LayoutBuilder& String(std::string name, int width, int dim = 1);
    LayoutBuilder& Group(std::string name, int dim = 1);
    LayoutBuilder& End();
    LayoutBuilder& Key(std::string name, std::initializer_list<std::string_view> fields,
                       KeyDuplicates unique);
    std::shared_ptr<const Layout> Build();

private:
    struct Open { Field* field; int start; };
    LayoutBuilder& Add(std::string name, FieldType type, int width, int dim, int places = 0);
    std::unique_ptr<Layout> layout_;
    std::vector<Open> groups_;
    int offset_ = 0;
};
