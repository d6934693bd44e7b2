#pragma once
// The program's settings file ("varn4.ini"): window geometry, remembered message answers, the
// wizards' and the optimiser's parameters, criterion weights and the object's own bookkeeping.
// One program-wide object, GlobalIni, set up at start-up and torn down at the end.
//
// Convention of every user: read a setting with its default and write it back at once (or when
// the window that uses it closes), so that after the first run every key is in the file.
#include "platform/fw/FwIni.h"
#include "platform/fw/FwSettings.h"
#include "platform/values/Queue.h"

#include <charconv>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

// A queue as SaveQueue and RestoreQueue see it: rows of one to four fields as text.
class IniQueue {
public:
    virtual ~IniQueue() = default;
    virtual int FieldCount() const = 0;
    virtual std::size_t Rows() const = 0;
    virtual std::string Field(std::size_t row, int field) const = 0;  // row 1-based, field 1 ..
    virtual void Append(const std::vector<std::string>& fields) = 0;
};

// IniFields(queue, &Row::A, &Row::B): the named fields of a Queue<Row>, text or numbers.
template <class Row, class... Members>
class IniQueueFields : public IniQueue {
public:
    static_assert(sizeof...(Members) >= 1 && sizeof...(Members) <= 4, "one to four fields");

    IniQueueFields(Queue<Row>& queue, Members Row::*... members) : queue_(queue), members_(members...) {}

    int FieldCount() const override { return static_cast<int>(sizeof...(Members)); }
    std::size_t Rows() const override { return QueueRecords(queue_); }
    std::string Field(std::size_t row, int field) const override
    {
        const Row* r = QueueGet(queue_, row);
        std::string out;
        if (r)
            ForField(field, [&](auto member) { out = ToText(r->*member); });
        return out;
    }
    void Append(const std::vector<std::string>& fields) override
    {
        Row row{};
        for (int f = 1; f <= FieldCount() && f <= static_cast<int>(fields.size()); ++f)
            ForField(f, [&](auto member) { FromText(fields[static_cast<std::size_t>(f - 1)], row.*member); });
        QueueAdd(queue_, std::move(row));
    }

private:
    template <class F>
    void ForField(int field, F&& f) const
    {
        int i = 1;
        std::apply([&](auto... m) { ((i++ == field ? f(m) : void()), ...); }, members_);
    }
    static std::string ToText(const std::string& s) { return s; }
    template <class N>
        requires std::is_arithmetic_v<N>
    static std::string ToText(N n)
    {
        return std::to_string(n);
    }
    static void FromText(const std::string& s, std::string& out) { out = s; }
    // A text that is not a number reads as 0.
    template <class N>
        requires std::is_arithmetic_v<N>
    static void FromText(const std::string& s, N& out)
    {
        out = N{};
        std::from_chars(s.data(), s.data() + s.size(), out);
    }

    Queue<Row>& queue_;
    std::tuple<Members Row::*...> members_;
};

template <class Row, class... Members>
IniQueueFields<Row, Members...> IniFields(Queue<Row>& queue, Members Row::*... members)
{
    return IniQueueFields<Row, Members...>(queue, members...);
}

// One row of the object's bookkeeping list.
struct IniSector {
    std::string FAMILY;
    std::string ITEM;
    std::string TYPE;
};

class CIniFile : public FwIni {
public:
    std::unique_ptr<Queue<IniSector>> SECTORS;

    // Field n (0 and 1 both the first) of a queue row stored under key; "---Unknown---" for a
    // missing key (FetchRequiredField) or the empty text (FetchField).
    virtual std::string FetchRequiredField(std::string_view section, std::string_view key, int n);
    // Appends the rows stored under name to the queue (which is not emptied first).
    virtual void RestoreQueue(std::string_view section, std::string_view name, IniQueue& queue);
    virtual std::string FetchField(std::string_view section, std::string_view key, int n);
    // Stores the number of rows under name and row n under name & "_" & n.
    virtual void SaveQueue(std::string_view section, std::string_view name, const IniQueue& queue);

    void WriteKey(std::string_view section, std::string_view key, std::string_view value);
    std::string ReadOrEmpty(std::string_view section, std::string_view key);
    std::string ReadOrUnknown(std::string_view section, std::string_view key);
    // variable := the value, with the variable's current content as the default.
    void ReadInto(std::string_view section, std::string_view key, std::string& variable);
    void ReadInto(std::string_view section, std::string_view key, long& variable);
    void ReadInto(std::string_view section, std::string_view key, int& variable);
    // Reads with the default and writes the value back at once, so that the key exists afterwards.
    std::string ReadAndWriteBack(std::string_view section, std::string_view key, std::string_view defaultValue);
    long ReadAndWriteBack(std::string_view section, std::string_view key, long defaultValue);

    // Window geometry in the section named after the window procedure, by the framework's rules
    // (FwStoreGeometry, FwRestoreGeometry).
    void StoreWindowGeometry(const WindowGeometry& window, std::string_view section);
    // Fills in what the section holds; false (window untouched) when it holds no "Maximize".
    bool RestoreWindowGeometry(WindowGeometry& window, std::string_view section);

    void Setup(std::string_view fileName);
    void Teardown();
};

// The program's settings object.
extern CIniFile GlobalIni;
