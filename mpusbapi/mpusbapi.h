/* libmpusbapi.so: the USB library the program loads by name at run time.
 *
 * Seven C entry points with the semantics of the vendor library of the same name, here on
 * libusb-1.0. A pipe is one endpoint of one device in one direction; both pipes of a device
 * share one libusb device handle, which stays open (interface 0 claimed) while any pipe of
 * that device is open.
 *
 * Threads: every function may be called from any thread at any time. Opening, closing and
 * counting are serialised inside the library; transfers are not, and run concurrently on
 * different pipes. Two transfers on the same pipe at once are allowed but their order is
 * not defined: callers that pair a write with its reply serialise that pair themselves.
 *
 * Time-outs are in milliseconds; 0 is taken as 1 ms, never as "wait forever".
 */
#ifndef VR3526_MPUSBAPI_H
#define VR3526_MPUSBAPI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MPUSB_API __attribute__((visibility("default")))

/* What _MPUSBOpen returns on failure: all bits set. */
#define MPUSB_INVALID_HANDLE ((void*)(~(uintptr_t)0))

/* The library's version, 0x01000000; a fixed number. */
MPUSB_API uint32_t _MPUSBGetDLLVersion(void);

/* Number of attached devices that match selector "vid_XXXX&pid_YYYY" (hex, either case).
 * 0 for a NULL or malformed selector and when USB cannot be reached at all (no usbfs, no
 * permission to enumerate). */
MPUSB_API uint32_t _MPUSBGetDeviceCount(const char* selector);

/* Opens a pipe on the index-th matching device, counted in libusb's enumeration order (the
 * order _MPUSBGetDeviceCount counts in, so index < count names a device while the set of
 * attached devices does not change). endpoint is "\MCHP_EPn" (n = 1..15); direction 0 is
 * write (OUT endpoint n), 1 is read (IN endpoint 0x80|n). reserved is ignored.
 * Returns MPUSB_INVALID_HANDLE on any failure: bad selector, endpoint name or direction, no
 * such device, no permission, interface 0 cannot be claimed (another program holds it), or
 * the endpoint is not a bulk or interrupt endpoint of interface 0. */
MPUSB_API void* _MPUSBOpen(uint32_t index, const char* selector, const char* endpoint,
                           uint32_t direction, uint32_t reserved);

/* One transfer of length bytes on a write pipe, waiting at most timeoutMs. 1 when every byte
 * was sent, 0 otherwise (unknown or read pipe, time-out, device gone, stall). *sent (if not
 * NULL) gets the number of bytes the device took, also on failure. */
MPUSB_API uint32_t _MPUSBWrite(void* handle, const void* data, uint32_t length,
                               uint32_t* sent, uint32_t timeoutMs);

/* One reply from a read pipe, waiting at most timeoutMs. 1 when the reply arrived whole (a
 * short last packet ended it, or it filled the read); *received (if not NULL) gets the number
 * of bytes copied into data, at most maxLength. A reply longer than maxLength is cut there
 * and the rest of it read and dropped, so it cannot answer the next read. A time-out, an
 * unknown or write pipe, maxLength 0 and a lost device are failures (0). A time-out is a
 * failure also after part of a reply arrived, since the rest may still come: that part is
 * copied into data and counted in *received all the same (0 in every other failure). */
MPUSB_API uint32_t _MPUSBRead(void* handle, void* data, uint32_t maxLength,
                              uint32_t* received, uint32_t timeoutMs);

/* The interrupt-pipe read. libusb picks bulk or interrupt transfers from the endpoint's own
 * descriptor, so this behaves exactly as _MPUSBRead. */
MPUSB_API uint32_t _MPUSBReadInt(void* handle, void* data, uint32_t maxLength,
                                 uint32_t* received, uint32_t timeoutMs);

/* Closes a pipe; the device is released and closed with its last pipe. 1 when handle was an
 * open pipe, 0 for NULL, MPUSB_INVALID_HANDLE, a handle already closed or any other value
 * (handles are never reused, so a stale one can never close somebody else's pipe). A
 * transfer still running on the pipe in another thread completes normally. */
MPUSB_API uint32_t _MPUSBClose(void* handle);

#ifdef __cplusplus
}
#endif

#endif
