#include "platform/ui/Property.h"

#include <cstdlib>

int64_t PropValue::Int() const
{
    if (!isText_)
        return num_;
    const char* p = text_.c_str();
    while (*p == ' ')
        ++p;
    return std::strtoll(p, nullptr, 10);
}

std::string PropValue::Str() const
{
    return isText_ ? text_ : std::to_string(num_);
}

bool PropValue::operator==(const PropValue& o) const
{
    if (isText_ && o.isText_)
        return text_ == o.text_;
    if (!isText_ && !o.isText_)
        return num_ == o.num_;
    return Str() == o.Str();
}
