#pragma once
// The event record every control raises: who sent it, what kind of event
// it is, and three 64-bit value slots that hold a 32-bit integer in their
// low half or a double. Records live on the stack and are never kept.

#include <bit>
#include <cstdint>

// Kinds of notifications.
enum : int {
    kNotifyActivation = 1, // value0: 1 became active, 0 stopped being active
    kNotifyDrop = 2,       // value0: dragged control; value1, value2: drop point
    kNotifySelect = 3,     // value0: an integer argument (0 for a plain click)
    kNotifyValue = 4,      // value0: 0 DWORD, 1 int, 2 double, other generic; value1: the value
    kNotifyCustom = 6,     // 6 and above, and negative kinds
};

// Value types of kind-4 notifications.
enum : int { kValueDword = 0, kValueInt = 1, kValueDouble = 2 };

class CNotifier {
public:
    CNotifier(int sender, int kind, int64_t value0 = 0, int64_t value1 = 0, int64_t value2 = 0)
        : m_nSender(sender), m_nKind(kind), m_value{value0, value1, value2} {}
    virtual ~CNotifier() = default;

    int m_nSender;
    int m_nKind;
    int64_t m_value[3];
};

// A double carried in a value slot, bit for bit.
inline int64_t FromDouble(double d) {
    return std::bit_cast<int64_t>(d);
}
inline double ToDouble(int64_t v) {
    return std::bit_cast<double>(v);
}
