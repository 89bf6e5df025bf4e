/*
 * payfmt format functions: apply, validate and check formats of the operator
 * language on the library's default parser, convert between raw bytes and
 * IStr text, and a shared counter.
 *
 * IStr text is how raw bytes cross this interface: printable ASCII other
 * than "#" stands for itself, every other byte is "#" and two hexadecimal
 * digits ("AB#00#0D").
 *
 * Conventions:
 *  - Text arguments are NUL-terminated; a null pointer reads as empty text.
 *  - Format functions return a status: 0 for success, otherwise the code of
 *    the most severe report of the call (bits 31-30: 3 error, 2 warning,
 *    1 information). The report is also published as the calling thread's
 *    error record (KORGetErrorInfo in vex.h) with the message as description.
 *  - A VEXBUF result is first set to null, then to a new buffer when there is
 *    one. The buffer belongs to the caller (VEXBufFree / VEXBufClear). A result
 *    may come back together with a non-zero status: it is what the operators
 *    produced before the failure.
 *  - error_node: 0, or a tree node under which the call attaches a child node
 *    with "EC" (the code) and "Error" (the message) when it reports something
 *    (FormatValidateA). It is not kept after the call.
 *  - Calls are serialised by the library's process-wide lock.
 */
#ifndef PAYFMT_FORMAT_H
#define PAYFMT_FORMAT_H

#include "vex.h"

PAYFMT_EXTERN_C_BEGIN

/* Applies an input chain to value (IStr) and returns the bytes it produced
   as IStr text in *result. */
PAYFMT_API uint32_t FormatInputA(const char *value, const char *format, VEXBUF *result, VEXNODE error_node);

/* Applies an output chain to value (IStr) and returns the result as IStr. */
PAYFMT_API uint32_t FormatOutputA(const char *value, const char *format, VEXBUF *result, VEXNODE error_node);

/* Applies an input chain and validates its result with mask; bytes of value
   that the chain did not use are reported (0x62060013). */
PAYFMT_API uint32_t FormatValidateA(const char *value, const char *format, const char *mask, VEXNODE error_node);

/* Checks the syntax of a format without running it. Checking ends, without a
   report, at the first name that is not an operator. */
PAYFMT_API uint32_t FormatValidateFmtA(const char *format, VEXNODE error_node);

/* Decodes IStr text into *result (null for empty text). Returns 0, or the
   status of the failure (0xE2060029 for a bad escape) with *result null. */
PAYFMT_API int32_t FormatIStrToRawA(const char *value, VEXBUF *result);

/* *result := the IStr text (a string variant) of the bytes of a string or
   blob variant; other values leave *result unchanged. Returns 0 or a status. */
PAYFMT_API int32_t FormatRawToIStrA(const VEXVARIANT *value, VEXVARIANT *result);

/* *result := a new buffer with the IStr text of the bytes. */
PAYFMT_API void CFormatRawToIStr(VEXBUF bytes, VEXBUF *result);

/* *text := the messages the last format call reported: with detailed set,
   every message followed by CR LF; otherwise the last message. Empty (null)
   when the last call reported nothing. */
PAYFMT_API uint32_t FormatErrorTextA(int32_t detailed, VEXBUF *text);

/* A process-wide counter, 0 at load; IncCounter wraps at 2^32. */
PAYFMT_API uint32_t GetCounter(void);
PAYFMT_API uint32_t IncCounter(void);
PAYFMT_API void SetCounter(uint32_t value);

PAYFMT_EXTERN_C_END

#ifdef __cplusplus
#include <string>

/* The IStr text of count bytes, for C++ code built with the library. */
PAYFMT_API void RawToIStr(const void *bytes, uint32_t count, std::string &result);
#endif

#endif
