#pragma once
// The adapter access library: plain C functions, under the names and with the byte records the
// configuration utility's call sites fix. Records are byte arrays the caller owns; all numbers in
// them are little-endian.
//
// Registry information record (W32N_REGISTRY_INFO_SIZE bytes; zero it before the first call): the
// card's description at offset 0 and its name at offset 532, both zero-terminated. The library
// keeps its place in the enumeration inside the record, so several enumerations can run at once.
// Every network card of the machine is delivered, present or not, in a fixed order (the wired card
// before the adapter); a card's zero-based position is its number in that order.
//
// Adapter handles: −1 (W32N_INVALID_ADAPTER) means failure; 0 is never a handle. A request on 0,
// −1, a closed handle, or a card whose device is disabled or removed fails.
//
// Request record (W32N_REQUEST_SIZE bytes): the request type at 20 (0 query, 1 set), the OID at 24,
// the buffer address at 28, the buffer length at 32, bytes written or read at 36 and bytes needed at
// 40 (both filled by the call, also on failure). Offsets 0-19 and 44-555 belong to the library.
//
// The buffer address field is 4 bytes wide, too narrow for a pointer of this platform. The caller
// therefore passes the buffer itself as the last argument of W32N_MakeNdisRequest and stores its
// low 32 bits at offset 28 (W32N_BufferAddressField); a record whose field does not match the buffer
// passed is refused (W32N_ERROR_INVALID_PARAMETER), so a record cannot silently describe another
// buffer. The library reads or writes only the `length` bytes of that buffer.
//
// Overlapped record (W32N_OVERLAPPED_SIZE bytes): four words (internal status, internal length,
// offset low, offset high) followed by the caller's event handle. Requests complete before the call
// returns (the fourth argument is 1 at every call site; any value completes synchronously); the
// library stores the result in the internal status word and the byte count in the internal length.
//
// The result of W32N_MakeNdisRequest is 0 on success, otherwise the error number that
// W32N_GetLastError also reports. Requests of one process are carried one at a time.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define W32N_REGISTRY_INFO_SIZE 780
#define W32N_INFO_DESCRIPTION_OFFSET 0
#define W32N_INFO_NAME_OFFSET 532

#define W32N_REQUEST_SIZE 556
#define W32N_REQUEST_TYPE_OFFSET 20
#define W32N_REQUEST_OID_OFFSET 24
#define W32N_REQUEST_BUFFER_OFFSET 28
#define W32N_REQUEST_LENGTH_OFFSET 32
#define W32N_REQUEST_TRANSFERRED_OFFSET 36
#define W32N_REQUEST_NEEDED_OFFSET 40
#define W32N_REQUEST_QUERY 0
#define W32N_REQUEST_SET 1

#define W32N_OVERLAPPED_SIZE 24
#define W32N_OVERLAPPED_EVENT_OFFSET 16

#define W32N_INVALID_ADAPTER ((intptr_t)-1)

/* Error numbers (those of the Windows system errors of the same meaning). */
#define W32N_ERROR_SUCCESS 0
#define W32N_ERROR_NO_MORE_ITEMS 259
#define W32N_ERROR_FILE_NOT_FOUND 2
#define W32N_ERROR_INVALID_HANDLE 6
#define W32N_ERROR_GEN_FAILURE 31
#define W32N_ERROR_NOT_SUPPORTED 50
#define W32N_ERROR_INVALID_PARAMETER 87
#define W32N_ERROR_INSUFFICIENT_BUFFER 122
#define W32N_ERROR_INTERNAL 1359
#define W32N_ERROR_DEVICE_NOT_CONNECTED 1167

/* 0 when a record was delivered, non-zero when there is none. */
int W32N_GetFirstAdapterRegistryInfo(unsigned char* info);
int W32N_GetNextAdapterRegistryInfo(unsigned char* info);
/* The key (below HKEY_LOCAL_MACHINE) holding the cards' driver keys; the text stays valid until the
   calling thread's next call of this function. */
const char* W32N_GetNetCardRegistryPath(const char* instanceText);
/* NT systems: "\Device\" and the card's name; 98 SE/Me: its four-digit position ("0001"). */
intptr_t W32N_OpenAdapterA(const char* deviceName);
/* Non-zero on success; 0 for a handle that is not open. */
int W32N_CloseAdapter(intptr_t adapter);
int W32N_MakeNdisRequest(intptr_t adapter, unsigned char* request, unsigned char* overlapped, int synchronous,
                         void* buffer);
/* The error of the calling thread's last failed call. */
uint32_t W32N_GetLastError(void);
/* The value the caller stores at W32N_REQUEST_BUFFER_OFFSET for a buffer. */
uint32_t W32N_BufferAddressField(const void* buffer);

#ifdef __cplusplus
}
#endif
