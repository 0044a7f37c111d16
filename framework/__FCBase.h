// __FCBase: the root of the plug-in's class tree: a class-name literal, a free user value and
// virtual destruction. Test builds count live objects here to prove nothing leaks.
#pragma once

#include <cstdint>

class __FCBase {
public:
    __FCBase();
    __FCBase(const __FCBase& other);
    __FCBase& operator=(const __FCBase& other);
    __FCBase(__FCBase&&) = delete;
    __FCBase& operator=(__FCBase&&) = delete;

    // ClassName answers the class's name literal; classes that declare none answer their base's.
    virtual const char* ClassName() const;
    virtual ~__FCBase();
    // IsSameClass compares name literals by address, never by text.
    virtual bool IsSameClass(const __FCBase* other) const;

    int32_t GetUserValue() const { return userValue_; }
    void SetUserValue(int32_t value) { userValue_ = value; }

    // LiveObjectCount answers how many framework objects exist in this process right now.
    static int64_t LiveObjectCount();

private:
    int32_t userValue_ = 0;
};
