// Stand-in for the printer-status suite's status manager library: the nine
// functions of srm_api.h on the simulated printers of the registry store.
// A handle is a number private to this process; its notification
// registrations each run a watcher thread on the printer's registry key, so
// that a change made by any process of the prefix reaches the window.
#include <windows.h>

#include <cstring>
#include <map>
#include <memory>
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

// A watcher that found no notification to wait for still looks this often.
constexpr DWORD kWatchPollMs = 400;

// One SetNotificationMsgA registration and its watcher thread.
struct Registration {
    DWORD id = 0;
    std::string keyName;
    const ItemInfo* item = nullptr;
    HWND window = nullptr;
    UINT message = 0;
    std::vector<uint8_t> snapshot;  // the item when the registration was made
    KernelHandle stop;              // manual-reset: ends the watcher
    KernelHandle thread;

    ~Registration() {
        if (thread.Get() != nullptr) {
            SetEvent(stop.Get());
            WaitForSingleObject(thread.Get(), INFINITE);
        }
    }
};

// One open handle.
struct Session {
    std::string keyName;
    KernelHandle closed;                 // manual-reset: set when the handle closes
    std::map<DWORD, DWORD> writeStatus;  // request id -> the printer's answer
    std::map<DWORD, std::unique_ptr<Registration>> registrations;
};

// The handles of this process. Never destroyed: watcher threads may still run
// while the process ends.
class Sessions {
public:
    Sessions() { InitializeCriticalSection(&lock_); }
    Sessions(const Sessions&) = delete;
    Sessions& operator=(const Sessions&) = delete;

    class Guard {
    public:
        explicit Guard(Sessions& sessions) : lock_(&sessions.lock_) { EnterCriticalSection(lock_); }
        ~Guard() { LeaveCriticalSection(lock_); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        CRITICAL_SECTION* lock_;
    };

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
    CRITICAL_SECTION lock_;
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
    Sessions::Guard guard(sessions);
    Session* session = sessions.Find(handle);
    if (session == nullptr) return kSrmErrHandle;
    *keyName = session->keyName;
    return 0;
}

bool IsTargetWindow(HWND window) { return window != nullptr && IsWindow(window); }

// ---- Watcher of one registration ----

DWORD WINAPI WatchItem(void* parameter) {
    Registration* registration = static_cast<Registration*>(parameter);
    RegKey key;
    KernelHandle changed(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    std::vector<uint8_t> last = registration->snapshot;
    bool armed = false;
    for (;;) {
        if (key.Get() == nullptr) {
            srmstore::OpenPrinterKey(registration->keyName, KEY_NOTIFY | KEY_QUERY_VALUE, &key);
            armed = false;
        }
        if (key.Get() != nullptr && !armed && changed.Get() != nullptr) {
            // Armed before the item is read, so that no change slips between.
            armed = RegNotifyChangeKeyValue(key.Get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed.Get(), TRUE) ==
                    ERROR_SUCCESS;
        }
        if (key.Get() != nullptr) {
            std::vector<uint8_t> now;
            if (srmstore::ReadItemFromKey(key.Get(), *registration->item, &now) != 0) {
                key.Close();  // the printer is gone; look for it again later
            } else if (now != last) {
                PostMessageA(registration->window, registration->message, 0, 0);
                last.swap(now);
            }
        }
        HANDLE waits[2] = {registration->stop.Get(), changed.Get()};
        const DWORD count = (changed.Get() != nullptr && armed) ? 2 : 1;
        const DWORD wait = WaitForMultipleObjects(count, waits, FALSE, kWatchPollMs);
        if (wait == WAIT_OBJECT_0) break;
        if (wait == WAIT_OBJECT_0 + 1) armed = false;
    }
    return 0;
}

// ---- Replies ----

struct DelayedReply {
    HWND window;
    UINT message;
    DWORD delay;
    HANDLE closed;  // a duplicate of the session's event, owned by the reply
};

DWORD WINAPI PostLater(void* parameter) {
    std::unique_ptr<DelayedReply> reply(static_cast<DelayedReply*>(parameter));
    KernelHandle closed(reply->closed);
    if (WaitForSingleObject(closed.Get(), reply->delay) == WAIT_TIMEOUT) {
        PostMessageA(reply->window, reply->message, 0, 0);
    }
    return 0;
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
    std::unique_ptr<DelayedReply> reply(new DelayedReply{window, message, delay, nullptr});
    {
        Sessions& sessions = AllSessions();
        Sessions::Guard guard(sessions);
        Session* session = sessions.Find(handle);
        if (session == nullptr) return;
        if (!DuplicateHandle(GetCurrentProcess(), session->closed.Get(), GetCurrentProcess(), &reply->closed, 0,
                             FALSE, DUPLICATE_SAME_ACCESS)) {
            return;
        }
    }
    KernelHandle thread(CreateThread(nullptr, 0, PostLater, reply.get(), 0, nullptr));
    if (thread.Get() != nullptr) {
        reply.release();  // the thread owns it now
    } else {
        CloseHandle(reply->closed);
    }
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
    session->closed.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (session->closed.Get() == nullptr) return kSrmErrStore;
    Sessions& sessions = AllSessions();
    Sessions::Guard guard(sessions);
    *handle = sessions.Add(std::move(session));
    return 0;
}

SRMAPI CloseManager(DWORD handle) {
    std::string keyName;
    DWORD result = SessionPrinter(handle, &keyName);
    if (result != 0) return result;
    result = srmstore::TakeFault(keyName, "CloseManager");
    if (result != 0) return result;  // the handle stays open
    std::unique_ptr<Session> session;
    {
        Sessions& sessions = AllSessions();
        Sessions::Guard guard(sessions);
        session = sessions.Remove(handle);
    }
    if (session == nullptr) return kSrmErrHandle;
    SetEvent(session->closed.Get());
    session.reset();  // ends the watchers, outside the lock
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
        Sessions::Guard guard(sessions);
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
        Sessions::Guard guard(sessions);
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

    std::unique_ptr<Registration> registration(new Registration);
    registration->keyName = keyName;
    registration->item = info;
    registration->window = window;
    registration->message = message;
    // Changes are counted from now: the item is taken before this call returns.
    result = srmstore::ReadItem(keyName, *info, &registration->snapshot);
    if (result != 0) return result;
    registration->stop.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (registration->stop.Get() == nullptr) return kSrmErrStore;

    Sessions& sessions = AllSessions();
    Sessions::Guard guard(sessions);
    Session* session = sessions.Find(handle);
    if (session == nullptr) return kSrmErrHandle;
    registration->thread.Reset(CreateThread(nullptr, 0, WatchItem, registration.get(), 0, nullptr));
    if (registration->thread.Get() == nullptr) return kSrmErrStore;
    registration->id = sessions.NextId();
    *notificationId = registration->id;
    session->registrations[registration->id] = std::move(registration);
    return 0;
}

SRMAPI KillNotificationMsg(DWORD handle, DWORD notificationId) {
    std::string keyName;
    DWORD result = SessionPrinter(handle, &keyName);
    if (result != 0) return result;
    {
        Sessions& sessions = AllSessions();
        Sessions::Guard guard(sessions);
        Session* session = sessions.Find(handle);
        if (session == nullptr) return kSrmErrHandle;
        if (session->registrations.count(notificationId) == 0) return kSrmErrUnknownNotification;
    }
    result = srmstore::TakeFault(keyName, "KillNotificationMsg");
    if (result != 0) return result;
    std::unique_ptr<Registration> registration;
    {
        Sessions& sessions = AllSessions();
        Sessions::Guard guard(sessions);
        Session* session = sessions.Find(handle);
        if (session == nullptr) return kSrmErrHandle;
        auto it = session->registrations.find(notificationId);
        if (it == session->registrations.end()) return kSrmErrUnknownNotification;
        registration = std::move(it->second);
        session->registrations.erase(it);
    }
    registration.reset();  // ends the watcher, outside the lock
    return 0;
}
