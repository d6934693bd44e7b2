#pragma once
// Queue<T>: the program's in-memory record lists. A thin vector with 1-based positions.
//
//   QueueAdd(q, row)                 append; returns the new position
//   QueueAdd(q, row, pos)            insert at pos (1 .. count + 1; beyond that: append)
//   QueueAdd(q, row, less, proj)     insert in key order, after rows with an equal key
//   QueueGet(q, pos)                 the row at pos, or nullptr
//   QueueGet(q, key, proj, &pos)     the first row whose proj(row) == key, or nullptr
//   QueuePut(q, pos, row)            replace the row at pos
//   QueueDelete(q, pos)              remove the row at pos
//   QueueFree(q)                     remove every row
//   QueueSort(q, less, proj)         stable sort by the projected fields
//   QueueRecords(q)                  number of rows
//
// Key order and sorting take a comparator and a projection, as the std::ranges algorithms do:
//   QueueSort(q, {}, &Row::SORTFIELD);
//   QueueSort(q, std::ranges::greater{}, [](const Row& r) { return std::tie(r.A, r.B); });
#include <algorithm>
#include <concepts>
#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

template <class T>
class Queue {
public:
    using value_type = T;

    auto begin() { return rows_.begin(); }
    auto end() { return rows_.end(); }
    auto begin() const { return rows_.begin(); }
    auto end() const { return rows_.end(); }

    std::vector<T>& Rows() { return rows_; }
    const std::vector<T>& Rows() const { return rows_; }

private:
    std::vector<T> rows_;
};

template <class T>
std::size_t QueueRecords(const Queue<T>& q)
{
    return q.Rows().size();
}

template <class T>
std::size_t QueueAdd(Queue<T>& q, std::type_identity_t<T> row)
{
    q.Rows().push_back(std::move(row));
    return q.Rows().size();
}

// A position past the end appends; position 0 is taken as 1.
template <class T>
std::size_t QueueAdd(Queue<T>& q, std::type_identity_t<T> row, std::size_t pos)
{
    auto& rows = q.Rows();
    pos = std::clamp<std::size_t>(pos, 1, rows.size() + 1);
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(pos - 1), std::move(row));
    return pos;
}

// The queue is expected to be in the order given by less and proj already.
template <class T, class Less = std::ranges::less, class Proj = std::identity>
    requires std::invocable<Proj&, const T&> &&
             std::strict_weak_order<Less&, std::invoke_result_t<Proj&, const T&>,
                                    std::invoke_result_t<Proj&, const T&>>
std::size_t QueueAdd(Queue<T>& q, std::type_identity_t<T> row, Less less, Proj proj = {})
{
    auto& rows = q.Rows();
    auto at = std::ranges::upper_bound(rows, std::invoke(proj, std::as_const(row)), less, proj);
    auto pos = static_cast<std::size_t>(at - rows.begin()) + 1;
    rows.insert(at, std::move(row));
    return pos;
}

template <class T>
T* QueueGet(Queue<T>& q, std::size_t pos)
{
    return pos >= 1 && pos <= q.Rows().size() ? &q.Rows()[pos - 1] : nullptr;
}

template <class T>
const T* QueueGet(const Queue<T>& q, std::size_t pos)
{
    return pos >= 1 && pos <= q.Rows().size() ? &q.Rows()[pos - 1] : nullptr;
}

template <class T, class Key, class Proj>
    requires std::invocable<Proj&, const T&>
T* QueueGet(Queue<T>& q, const Key& key, Proj proj, std::size_t* position = nullptr)
{
    auto& rows = q.Rows();
    auto at = std::ranges::find(rows, key, proj);
    if (position)
        *position = at == rows.end() ? 0 : static_cast<std::size_t>(at - rows.begin()) + 1;
    return at == rows.end() ? nullptr : &*at;
}

template <class T, class Key, class Proj>
    requires std::invocable<Proj&, const T&>
const T* QueueGet(const Queue<T>& q, const Key& key, Proj proj, std::size_t* position = nullptr)
{
    const auto& rows = q.Rows();
    auto at = std::ranges::find(rows, key, proj);
    if (position)
        *position = at == rows.end() ? 0 : static_cast<std::size_t>(at - rows.begin()) + 1;
    return at == rows.end() ? nullptr : &*at;
}

template <class T>
bool QueuePut(Queue<T>& q, std::size_t pos, std::type_identity_t<T> row)
{
    T* at = QueueGet(q, pos);
    if (!at)
        return false;
    *at = std::move(row);
    return true;
}

template <class T>
bool QueueDelete(Queue<T>& q, std::size_t pos)
{
    auto& rows = q.Rows();
    if (pos < 1 || pos > rows.size())
        return false;
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(pos - 1));
    return true;
}

template <class T>
void QueueFree(Queue<T>& q)
{
    q.Rows().clear();
}

// Stable, so rows with equal keys keep their order.
template <class T, class Less = std::ranges::less, class Proj = std::identity>
void QueueSort(Queue<T>& q, Less less = {}, Proj proj = {})
{
    std::ranges::stable_sort(q.Rows(), less, proj);
}
