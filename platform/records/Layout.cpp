#include "platform/records/Layout.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace {

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

const char* TypeCode(FieldType t) {
    switch (t) {
    case FieldType::Byte: return "B";
    case FieldType::Ushort: return "US";
    case FieldType::Long: return "L";
    case FieldType::Ulong: return "UL";
    case FieldType::Real: return "R";
    case FieldType::Decimal: return "D";
    case FieldType::String: return "S";
    case FieldType::Group: return "G";
    }
    return "?";
}

} // namespace

const Field* Layout::Find(std::string_view name) const {
    const auto it = byName_.find(Upper(name));
    return it == byName_.end() ? nullptr : it->second;
}

const Field& Layout::At(std::string_view name) const {
    const Field* f = Find(name);
    if (!f) throw std::out_of_range(name_ + ": unknown field " + std::string(name));
    return *f;
}

int Layout::FindKey(std::string_view name) const {
    const std::string u = Upper(name);
    for (size_t i = 0; i < keys_.size(); ++i)
        if (Upper(keys_[i].name) == u) return static_cast<int>(i);
    return -1;
}

std::string Layout::Signature() const {
    std::string s = "size=" + std::to_string(size_);
    for (const KeyDef& k : keys_) {
        s += ";" + Upper(k.name) + (k.unique ? "!" : "") + "(";
        for (const Field* f : k.components)
            s += std::string(TypeCode(f->type)) + std::to_string(f->width) + "@" + std::to_string(f->offset) + ",";
        s += ")";
    }
    return s;
}

LayoutBuilder::LayoutBuilder(std::string name) : layout_(std::make_unique<Layout>()) {
    layout_->name_ = std::move(name);
}

LayoutBuilder& LayoutBuilder::Add(std::string name, FieldType type, int width, int dim, int places) {
    if (!layout_) throw std::logic_error("layout already built");
    if (width <= 0 || dim <= 0) throw std::logic_error(name + ": width and dimension must be positive");
    const std::string key = Upper(name);
    if (layout_->byName_.count(key)) throw std::logic_error(layout_->name_ + ": duplicate field " + name);
    auto f = std::make_unique<Field>();
    f->name = std::move(name);
    f->type = type;
    f->offset = offset_;
    f->width = width;
    f->count = dim;
    f->stride = width;
    f->places = places;
    f->group = groups_.empty() ? std::string() : groups_.back().field->name;
    layout_->byName_[key] = f.get();
    layout_->fields_.push_back(std::move(f));
    if (type != FieldType::Group) offset_ += width * dim;
    return *this;
}

LayoutBuilder& LayoutBuilder::Byte(std::string n, int dim) { return Add(std::move(n), FieldType::Byte, 1, dim); }
LayoutBuilder& LayoutBuilder::Ushort(std::string n, int dim) { return Add(std::move(n), FieldType::Ushort, 2, dim); }
LayoutBuilder& LayoutBuilder::Long(std::string n, int dim) { return Add(std::move(n), FieldType::Long, 4, dim); }
LayoutBuilder& LayoutBuilder::Ulong(std::string n, int dim) { return Add(std::move(n), FieldType::Ulong, 4, dim); }
LayoutBuilder& LayoutBuilder::Real(std::string n, int dim) { return Add(std::move(n), FieldType::Real, 8, dim); }
LayoutBuilder& LayoutBuilder::Decimal(std::string n, int bytes, int places, int dim) {
    return Add(std::move(n), FieldType::Decimal, bytes, dim, places);
}
LayoutBuilder& LayoutBuilder::String(std::string n, int width, int dim) {
    return Add(std::move(n), FieldType::String, width, dim);
}

LayoutBuilder& LayoutBuilder::Group(std::string name, int dim) {
    // Width and stride are known at End(); the dimension is kept in count until then.
    Add(std::move(name), FieldType::Group, 1, dim);
    groups_.push_back({layout_->fields_.back().get(), offset_});
    return *this;
}

LayoutBuilder& LayoutBuilder::End() {
    if (groups_.empty()) throw std::logic_error(layout_->name_ + ": End() without Group()");
    const Open g = groups_.back();
    groups_.pop_back();
    const int width = offset_ - g.start;
    if (width <= 0) throw std::logic_error(g.field->name + ": empty group");
    const int dim = g.field->count;
    g.field->width = width;
    g.field->stride = width;
    if (dim > 1) {
        // Members repeat with the group; they become arrays indexed by the group's element.
        bool inside = false;
        for (auto& f : layout_->fields_) {
            if (f.get() == g.field) { inside = true; continue; }
            if (!inside) continue;
            if (f->count > 1)
                throw std::logic_error(f->name + ": a dimension inside a repeated group is not supported");
            f->count = dim;
            f->stride = width;
        }
        offset_ = g.start + width * dim;
    }
    return *this;
}

LayoutBuilder& LayoutBuilder::Key(std::string name, std::initializer_list<std::string_view> fields,
                                  KeyDuplicates unique) {
    KeyDef k;
    k.name = std::move(name);
    k.unique = unique == KeyUnique;
    for (const std::string_view n : fields) {
        const Field* f = layout_->Find(n);
        if (!f || f->count != 1 || f->type == FieldType::Group)
            throw std::logic_error(k.name + ": key field must be a single plain field: " + std::string(n));
        k.components.push_back(f);
    }
    if (k.components.empty()) throw std::logic_error(k.name + ": key without fields");
    layout_->keys_.push_back(std::move(k));
    return *this;
}

std::shared_ptr<const Layout> LayoutBuilder::Build() {
    if (!groups_.empty()) throw std::logic_error(layout_->name_ + ": group not closed");
    layout_->size_ = offset_;
    return std::shared_ptr<const Layout>(std::move(layout_));
}
