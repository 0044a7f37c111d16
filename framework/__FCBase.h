// __FCBase: the root of the plug-in's class tree: a class-name literal, a free user value and
// virtual destruction. Test builds count live objects here to prove nothing leaks.
#pragma once

#include <cstdint>

class __FCBase {
  public:
    // Objects are made for every spelling of every note, so counting them is kept inline.
    __FCBase() { ++liveObjects_; }
    __FCBase(const __FCBase& other) : userValue_(other.userValue_) { ++liveObjects_; }
    __FCBase& operator=(const __FCBase& other) = default;
    __FCBase(__FCBase&&) = delete;
    __FCBase& operator=(__FCBase&&) = delete;

    // ClassName answers the class's name literal; classes that declare none answer their base's.
    virtual const char* ClassName() const;
    virtual ~__FCBase() { --liveObjects_; }
    // IsSameClass compares name literals by address, never by text.
    virtual bool IsSameClass(const __FCBase* other) const;

    int32_t GetUserValue() const { return userValue_; }
    void SetUserValue(int32_t value) { userValue_ = value; }

    // LiveObjectCount answers how many framework objects exist in this process right now.
    static int64_t LiveObjectCount();

  private:
    // The plug-in runs on the host's one thread, so a plain counter is enough.
    static inline int64_t liveObjects_ = 0;
    int32_t userValue_ = 0;
};
