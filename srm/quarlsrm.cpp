// Stand-in for the printer-status suite's status manager library: the nine
// functions of srm_api.h on the simulated printers of the registry store.
// A handle is a number private to this process. One service thread per
// process watches the printer keys of every notification registration (one
// registry notification per key, so that a change made by any process of the
// prefix reaches the windows) and posts the replies that the printer delays.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "codec.h"
#include "srm_api.h"
#include "srm_sim.h"
#include "store.h"
#include "update_command.h"

using srmstore::ItemInfo;
using srmstore::KernelHandle;
using srmstore::RegKey;

namespace {

// A printer key that cannot be watched (the printer is gone, or the registry
// refuses the notification) is looked at again this often.
constexpr DWORD kWatchPollMs = 400;
// One wait covers the wake event and this many printer keys; further keys
// are looked at every kWatchPollMs.
constexpr DWORD kMaxWatchedKeys = MAXIMUM_WAIT_OBJECTS - 1;

class Lock {
public:
    Lock() { InitializeCriticalSection(&section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    class Guard {
    public:
        explicit Guard(Lock& lock) : section_(&lock.section_) { EnterCriticalSection(section_); }
        ~Guard() { LeaveCriticalSection(section_); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        CRITICAL_SECTION* section_;
    };

private:
    CRITICAL_SECTION section_;
};

// One open handle.
struct Session {
    std::string keyName;
    std::map<DWORD, DWORD> writeStatus;  // request id -> the printer's answer
    std::set<DWORD> registrations;       // notification ids, served by the Service
};

// The handles of this process. Never destroyed: the service thread may still
// run while the process ends.
class Sessions {
public:
    using Guard = Lock::Guard;
    Lock& Mutex() { return lock_; }

    // Valid only under a Guard.
    Session* Find(DWORD handle) {
        auto it = map_.find(handle);
        return it == map_.end() ? nullptr : it->second.get();
    }
    DWORD Add(std::unique_ptr<Session> session) {
        const DWORD handle = NextId();
        map_[handle] = std::move(session);
        return handle;
    }
    std::unique_ptr<Session> Remove(DWORD handle) {
        auto it = map_.find(handle);
        if (it == map_.end()) return nullptr;
        std::unique_ptr<Session> session = std::move(it->second);
        map_.erase(it);
        return session;
    }
    // Handles, request ids and notification ids: nonzero, never reused in a process.
    DWORD NextId() {
        if (++next_ == 0) ++next_;
        return next_;
    }

private:
    Lock lock_;
    std::map<DWORD, std::unique_ptr<Session>> map_;
    DWORD next_ = 0x51A70000;
};

Sessions& AllSessions() {
    static Sessions* sessions = new Sessions;
    return *sessions;
}

// The printer behind a handle, or kSrmErrHandle.
DWORD SessionPrinter(DWORD handle, std::string* keyName) {
    Sessions& sessions = AllSessions();
    Sessions::Guard guard(sessions.Mutex());
    Session* session = sessions.Find(handle);
    if (session == nullptr) return kSrmErrHandle;
    *keyName = session->keyName;
    return 0;
}

SrmSimRegistrationHook registrationHook = nullptr;
void* registrationHookContext = nullptr;

bool IsTargetWindow(HWND window) { return window != nullptr && IsWindow(window); }

// ---- The service thread: notifications and delayed replies ----

// What the service thread does for the whole process. Registrations and
// replies are added and removed under its lock by the API functions; once a
// removal has returned, nothing more is posted for what was removed.
class Service {
public:
    struct Registration {
        std::string keyName;
        const ItemInfo* item;
        HWND window;
        UINT message;
        std::vector<uint8_t> last;  // the item as last seen (first: at registration)
    };

    // Starts the thread on first use; false when it cannot run. The key is
    // compared afresh: a change made after the registration took its item may
    // already have been looked at without it.
    bool Register(DWORD id, Registration registration) {
        Lock::Guard guard(lock_);
        if (!Start()) return false;
        freshKeys_.insert(registration.keyName);
        registrations_[id] = std::move(registration);
        SetEvent(wake_.Get());
        return true;
    }
    void Unregister(const std::set<DWORD>& ids) {
        Lock::Guard guard(lock_);
        for (DWORD id : ids) registrations_.erase(id);
        if (wake_.Get() != nullptr) SetEvent(wake_.Get());
    }
    bool PostAfter(DWORD handle, DWORD delay, HWND window, UINT message) {
        Lock::Guard guard(lock_);
        if (!Start()) return false;
        replies_.push_back({GetTickCount(), delay, handle, window, message});
        SetEvent(wake_.Get());
        return true;
    }
    // The replies of a closed handle are never posted.
    void DropReplies(DWORD handle) {
        Lock::Guard guard(lock_);
        replies_.erase(std::remove_if(replies_.begin(), replies_.end(),
                                      [handle](const Reply& reply) { return reply.handle == handle; }),
                       replies_.end());
    }

private:
    struct Reply {
        DWORD start;  // GetTickCount when it was asked for
        DWORD delay;
        DWORD handle;
        HWND window;
        UINT message;
    };
    // A printer key as the thread watches it (only the thread touches these).
    struct KeyWatch {
        RegKey key;
        KernelHandle changed;  // auto-reset, signalled by the registry
        bool armed = false;
        bool fresh = true;     // its items are to be compared now
    };

    bool Start() {
        if (thread_.Get() != nullptr) return true;
        wake_.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        if (wake_.Get() == nullptr) return false;
        thread_.Reset(CreateThread(nullptr, 0, &Service::Run, this, 0, nullptr));
        return thread_.Get() != nullptr;
    }

    static DWORD WINAPI Run(void* parameter) {
        static_cast<Service*>(parameter)->Loop();
        return 0;
    }

    // Posts the replies that are due; the time until the next one, or INFINITE.
    DWORD PostDueReplies() {
        Lock::Guard guard(lock_);
        DWORD next = INFINITE;
        const DWORD now = GetTickCount();
        auto due = std::remove_if(replies_.begin(), replies_.end(), [&](const Reply& reply) {
            const DWORD waited = now - reply.start;
            if (waited >= reply.delay) {
                PostMessageA(reply.window, reply.message, 0, 0);
                return true;
            }
            next = std::min(next, reply.delay - waited);
            return false;
        });
        replies_.erase(due, replies_.end());
        return next;
    }

    // The printer keys the registrations need; keys no longer needed go,
    // keys with a new registration are to be compared.
    void UpdateKeys() {
        std::set<std::string> needed;
        std::set<std::string> fresh;
        {
            Lock::Guard guard(lock_);
            for (const auto& entry : registrations_) needed.insert(entry.second.keyName);
            fresh.swap(freshKeys_);
        }
        for (auto it = keys_.begin(); it != keys_.end();) {
            it = needed.count(it->first) ? std::next(it) : keys_.erase(it);
        }
        for (const std::string& keyName : needed) {
            std::unique_ptr<KeyWatch>& watch = keys_[keyName];
            if (watch == nullptr) watch.reset(new KeyWatch);
            if (fresh.count(keyName)) watch->fresh = true;
        }
    }

    // Opens and arms the key where needed; armed before its items are read,
    // so that no change slips in between.
    void Arm(const std::string& keyName, KeyWatch* watch) {
        if (watch->key.Get() == nullptr) {
            srmstore::OpenPrinterKey(keyName, KEY_NOTIFY | KEY_QUERY_VALUE, &watch->key);
            watch->armed = false;
        }
        if (watch->changed.Get() == nullptr) watch->changed.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
        if (watch->key.Get() != nullptr && !watch->armed && watch->changed.Get() != nullptr) {
            watch->armed = RegNotifyChangeKeyValue(watch->key.Get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET,
                                                   watch->changed.Get(), TRUE) == ERROR_SUCCESS;
        }
        if (!watch->armed) watch->fresh = true;  // not told of changes: look every time
    }

    // Reads the items registered on the key and posts for each that changed.
    void Compare(const std::string& keyName, KeyWatch* watch) {
        if (watch->key.Get() == nullptr) return;
        // Only the registrations of before the read: a later one's snapshot
        // may be newer than what is read here.
        std::set<DWORD> ids;
        std::map<const ItemInfo*, std::vector<uint8_t>> items;
        {
            Lock::Guard guard(lock_);
            for (const auto& entry : registrations_) {
                if (entry.second.keyName != keyName) continue;
                ids.insert(entry.first);
                items[entry.second.item];
            }
        }
        for (auto& item : items) {
            if (srmstore::ReadItemFromKey(watch->key.Get(), *item.first, &item.second) != 0) {
                watch->key.Close();  // the printer is gone; look for it again later
                watch->armed = false;
                return;
            }
        }
        Lock::Guard guard(lock_);
        for (DWORD id : ids) {
            auto entry = registrations_.find(id);
            if (entry == registrations_.end()) continue;  // killed meanwhile
            Registration& registration = entry->second;
            auto now = items.find(registration.item);
            if (now->second == registration.last) continue;
            PostMessageA(registration.window, registration.message, 0, 0);
            registration.last = now->second;
        }
    }

    void Loop() {
        for (;;) {
            UpdateKeys();
            std::vector<HANDLE> waits = {wake_.Get()};
            std::vector<KeyWatch*> waited;
            bool poll = false;
            for (auto& entry : keys_) {
                KeyWatch* watch = entry.second.get();
                Arm(entry.first, watch);
                if (watch->fresh) {
                    watch->fresh = false;
                    Compare(entry.first, watch);
                }
                if (watch->armed && waits.size() <= kMaxWatchedKeys) {
                    waits.push_back(watch->changed.Get());
                    waited.push_back(watch);
                } else {
                    watch->fresh = true;
                    poll = true;
                }
            }
            DWORD timeout = PostDueReplies();
            if (poll) timeout = std::min(timeout, kWatchPollMs);
            const DWORD wait = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, timeout);
            if (wait > WAIT_OBJECT_0 && wait < WAIT_OBJECT_0 + waits.size()) {
                KeyWatch* watch = waited[wait - WAIT_OBJECT_0 - 1];
                watch->armed = false;
                watch->fresh = true;
            }
        }
    }

    Lock lock_;
    KernelHandle wake_;    // auto-reset: registrations or replies changed
    KernelHandle thread_;  // runs until the process ends
    std::map<DWORD, Registration> registrations_;  // by notification id
    std::set<std::string> freshKeys_;               // keys of registrations not yet compared
    std::vector<Reply> replies_;
    std::map<std::string, std::unique_ptr<KeyWatch>> keys_;  // the thread's own
};

Service& TheService() {
    static Service* service = new Service;
    return *service;
}

// Posts the reply now, after the printer's delay, or never; a delayed reply is
// dropped when the handle closes first.
void ScheduleReply(DWORD handle, const std::string& keyName, const char* delayValue, HWND window, UINT message) {
    DWORD delay = 0;
    srmstore::GetControlValue(keyName, delayValue, &delay);
    if (delay == kSrmReplyNever) return;
    if (delay == 0) {
        PostMessageA(window, message, 0, 0);
        return;
    }
    Sessions& sessions = AllSessions();
    Sessions::Guard guard(sessions.Mutex());
    if (sessions.Find(handle) != nullptr) TheService().PostAfter(handle, delay, window, message);
}

// ---- Writes of the settings item ----

// Checks a write and hands the command to the printer; *status is its answer.
DWORD WriteSettings(DWORD handle, LPCSTR item, const void* data, DWORD size, const char* function,
                    std::string* keyName, DWORD* status) {
    if (item == nullptr || data == nullptr) return kSrmErrArgument;
    DWORD result = SessionPrinter(handle, keyName);
    if (result != 0) return result;
    const ItemInfo* info = srmstore::FindItem(item);
    if (info == nullptr) return kSrmErrUnknownItem;
    if (info != &srmstore::SettingsItem()) return kSrmErrReadOnly;
    if (size != kCommandAreaSize) return kSrmErrSize;
    const uint8_t* area = static_cast<const uint8_t*>(data);
    if (!IsWellFormedUpdateCommand(area, size)) return kSrmErrMalformedCommand;
    result = srmstore::TakeFault(*keyName, function);
    if (result != 0) return result;
    return srmstore::ReceiveCommand(*keyName, area, status);
}

}  // namespace

SRMAPI OpenManagerExA(LPCSTR printer, LPCSTR user, DWORD access, DWORD* handle) {
    if (handle == nullptr) return kSrmErrArgument;
    *handle = 0;
    if (printer == nullptr || user == nullptr) return kSrmErrArgument;
    if (access != kSrmAccess) return kSrmErrAccess;
    std::string keyName;
    DWORD result = srmstore::FindPrinter(printer, true, &keyName);
    if (result != 0) return result;
    result = srmstore::TakeFault(keyName, "OpenManagerExA");
    if (result != 0) return result;

    std::unique_ptr<Session> session(new Session);
    session->keyName = keyName;
    Sessions& sessions = AllSessions();
    Sessions::Guard guard(sessions.Mutex());
    *handle = sessions.Add(std::move(session));
    return 0;
}

SRMAPI CloseManager(DWORD handle) {
    std::string keyName;
    DWORD result = SessionPrinter(handle, &keyName);
    if (result != 0) return result;
    result = srmstore::TakeFault(keyName, "CloseManager");
    if (result != 0) return result;  // the handle stays open
    Sessions& sessions = AllSessions();
    Sessions::Guard guard(sessions.Mutex());
    std::unique_ptr<Session> session = sessions.Remove(handle);
    if (session == nullptr) return kSrmErrHandle;
    TheService().Unregister(session->registrations);
    TheService().DropReplies(handle);
    return 0;
}

SRMAPI GetPrinterStatusA(DWORD handle, LPCSTR item, void* buffer, DWORD size, DWORD* length) {
    if (item == nullptr || buffer == nullptr) return kSrmErrArgument;
    std::string keyName;
    DWORD result = SessionPrinter(handle, &keyName);
    if (result != 0) return result;
    const ItemInfo* info = srmstore::FindItem(item);
    if (info == nullptr) return kSrmErrUnknownItem;
    if (size < info->size) {
        if (length != nullptr) *length = info->size;
        return kSrmErrBufferTooSmall;
    }
    result = srmstore::TakeFault(keyName, "GetPrinterStatusA");
    if (result != 0) return result;
    std::vector<uint8_t> data;
    if (info == &srmstore::SettingsItem()) srmstore::WaitForDevice(keyName);
    result = srmstore::ReadItem(keyName, *info, &data);
    if (result != 0) return result;
    std::memcpy(buffer, data.data(), info->size);
    if (length != nullptr) *length = info->size;
    return 0;
}

SRMAPI GetReqPrinterStatusMsgA(DWORD handle, LPCSTR item, HWND window, UINT message) {
    if (item == nullptr || !IsTargetWindow(window)) return kSrmErrArgument;
    std::string keyName;
    DWORD result = SessionPrinter(handle, &keyName);
    if (result != 0) return result;
    const ItemInfo* info = srmstore::FindItem(item);
    if (info == nullptr) return kSrmErrUnknownItem;
    result = srmstore::TakeFault(keyName, "GetReqPrinterStatusMsgA");
    if (result != 0) return result;
    std::vector<uint8_t> data;
    result = srmstore::ReadItem(keyName, *info, &data);  // the item must be there to be read
    if (result != 0) return result;
    ScheduleReply(handle, keyName, srmstore::kReadReplyValue, window, message);
    return 0;
}

SRMAPI SetPrinterStatusDirectA(DWORD handle, LPCSTR item, const void* data, DWORD size) {
    std::string keyName;
    DWORD status = 0;
    const DWORD result = WriteSettings(handle, item, data, size, "SetPrinterStatusDirectA", &keyName, &status);
    if (result != 0) return result;
    srmstore::WaitForDevice(keyName);
    return status == 0 ? 0 : kSrmErrRefused;
}

SRMAPI SetReqPrinterStatusMsgA(DWORD handle, LPCSTR item, const void* data, DWORD size, HWND window,
                               UINT message, DWORD* requestId) {
    if (requestId == nullptr || !IsTargetWindow(window)) return kSrmErrArgument;
    std::string keyName;
    DWORD status = 0;
    const DWORD result = WriteSettings(handle, item, data, size, "SetReqPrinterStatusMsgA", &keyName, &status);
    if (result != 0) return result;
    {
        Sessions& sessions = AllSessions();
        Sessions::Guard guard(sessions.Mutex());
        Session* session = sessions.Find(handle);
        if (session == nullptr) return kSrmErrHandle;
        *requestId = sessions.NextId();
        session->writeStatus[*requestId] = status;
    }
    ScheduleReply(handle, keyName, srmstore::kWriteReplyValue, window, message);
    return 0;
}

SRMAPI ResSetPrinterStatus(DWORD handle, DWORD requestId, DWORD* status) {
    if (status == nullptr) return kSrmErrArgument;
    std::string keyName;
    DWORD result = SessionPrinter(handle, &keyName);
    if (result != 0) return result;
    DWORD answer = 0;
    {
        Sessions& sessions = AllSessions();
        Sessions::Guard guard(sessions.Mutex());
        Session* session = sessions.Find(handle);
        if (session == nullptr) return kSrmErrHandle;
        auto it = session->writeStatus.find(requestId);
        if (it == session->writeStatus.end()) return kSrmErrUnknownRequest;
        answer = it->second;
    }
    result = srmstore::TakeFault(keyName, "ResSetPrinterStatus");
    if (result != 0) return result;
    *status = answer;
    return 0;
}

SRMAPI SetNotificationMsgA(DWORD handle, LPCSTR item, HWND window, UINT message, DWORD* notificationId) {
    if (item == nullptr || notificationId == nullptr || !IsTargetWindow(window)) return kSrmErrArgument;
    std::string keyName;
    DWORD result = SessionPrinter(handle, &keyName);
    if (result != 0) return result;
    const ItemInfo* info = srmstore::FindItem(item);
    if (info == nullptr) return kSrmErrUnknownItem;
    result = srmstore::TakeFault(keyName, "SetNotificationMsgA");
    if (result != 0) return result;

    Service::Registration registration = {keyName, info, window, message, {}};
    // Changes are counted from now: the item is taken before this call returns.
    result = srmstore::ReadItem(keyName, *info, &registration.last);
    if (result != 0) return result;
    if (registrationHook != nullptr) registrationHook(registrationHookContext);

    Sessions& sessions = AllSessions();
    Sessions::Guard guard(sessions.Mutex());
    Session* session = sessions.Find(handle);
    if (session == nullptr) return kSrmErrHandle;
    const DWORD id = sessions.NextId();
    if (!TheService().Register(id, std::move(registration))) return kSrmErrStore;
    session->registrations.insert(id);
    *notificationId = id;
    return 0;
}

SRMAPI SrmSimSetRegistrationHook(SrmSimRegistrationHook hook, void* context) {
    registrationHook = hook;
    registrationHookContext = context;
    return 0;
}

SRMAPI KillNotificationMsg(DWORD handle, DWORD notificationId) {
    std::string keyName;
    DWORD result = SessionPrinter(handle, &keyName);
    if (result != 0) return result;
    {
        Sessions& sessions = AllSessions();
        Sessions::Guard guard(sessions.Mutex());
        Session* session = sessions.Find(handle);
        if (session == nullptr) return kSrmErrHandle;
        if (session->registrations.count(notificationId) == 0) return kSrmErrUnknownNotification;
    }
    result = srmstore::TakeFault(keyName, "KillNotificationMsg");
    if (result != 0) return result;
    Sessions& sessions = AllSessions();
    Sessions::Guard guard(sessions.Mutex());
    Session* session = sessions.Find(handle);
    if (session == nullptr) return kSrmErrHandle;
    if (session->registrations.erase(notificationId) == 0) return kSrmErrUnknownNotification;
    TheService().Unregister({notificationId});
    return 0;
}
