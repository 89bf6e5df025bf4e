/*
 * payfmt support layer: byte buffers, text codecs, variants, property lists,
 * trees and per-thread error records.
 *
 * This comment states the contract of the whole C interface: every function
 * of vex.h, format.h, kor.h and version.h follows it. Each function's own
 * comment says only what is particular to it.
 *
 * STATUS RESULTS
 *  Status results are 32-bit codes: 0 is success, a value with the top bit
 *  set is a failure (VEX_E_*, KOR_E_*, and the report codes of format.h).
 *  Every failure also replaces the calling thread's error record (see
 *  KORGetErrorInfo) with the code, where it arose and a description. A call
 *  that succeeds leaves the record as it was, except that the functions of
 *  format.h that start a format call clear it first; read the record right
 *  after a failure. Functions that answer a handle or a count instead of a
 *  status say what they answer on failure (null, 0, -1); they set the record
 *  too. No exception ever leaves a function of the C interface.
 *
 * OUT PARAMETERS
 *  An out parameter, marked [out], is a pointer through which a function
 *  hands back a result: the VEXBUF * of a result buffer, VEXPROPS *,
 *  VEXNODE *, KOROBJ *, KORERRINFO *, the VEXVARIANT * of a result value,
 *  the KOREXCEPINFO * of a dispatch call, the const char ** of
 *  VEXPropsItemA and the KORCOMPONENTINFO and KORMEMBERINFO records of
 *  kor.h. An out parameter is write-only:
 *   1. The function never reads or frees what the caller's variable holds.
 *      It need not be initialised: it may hold garbage, or a value the
 *      caller has already released.
 *   2. The first thing the function does, before it checks any other
 *      argument, is to write "no result" through it: null, 0, an empty
 *      variant or a zeroed record. Then, when the call produces a result, it
 *      writes the result. After any call, failed or not, the variable holds
 *      a new result or nothing; never what it held before.
 *   3. The result belongs to the caller (see OWNERSHIP). A caller that
 *      reuses a variable releases what it holds before the next call, or
 *      that value leaks.
 *   4. An out variant must not be one of the call's input variants (the
 *      value of FormatRawToIStrA, the array of VEXVarArrayGet, an element of
 *      the args of KORInvoke): such a call is refused with VEX_E_INVALIDARG
 *      and writes nothing there, so the input stays whole.
 *  The one exception: FormatRawToIStrA leaves *result as it is (still
 *  unread) for a value that is neither a string nor a blob.
 *  An out parameter is required (null: VEX_E_POINTER) unless its function
 *  says "may be null". Plain numbers handed back through a pointer (a count,
 *  a level, a dispid, a serial date) are written only when the call
 *  succeeds, unless the function says otherwise.
 *
 * IN/OUT PARAMETERS
 *  An in/out parameter, marked [in/out], is an object the operation edits;
 *  its current value is read, and released where the operation replaces it:
 *   - the VEXBUF * of VEXBufClear, VEXBufCopy, VEXBufInsert, VEXBufDelete and
 *     VEXBufResize: it must hold null or a live buffer;
 *   - the VEXVARIANT * of VEXVarClear, the VEXVarSet* functions, the dst of
 *     VEXVarCopy and VEXVarCast, the array of VEXVarArrayPut: it must be
 *     initialised (VEXVarInit, a zeroed struct, or a result of the library);
 *   - the position *pos of VEXStrnToLongA and VEXVarFromTextA;
 *   - the elements of args of KORInvoke that a method writes back (a
 *     parser's Compile message; see kor.h).
 *
 * OWNERSHIP
 *  Everything a function hands out belongs to the caller, who releases it
 *  once with the matching function:
 *    VEXBUF                       VEXBufFree or VEXBufClear
 *    VEXPROPS                     VEXPropsFree
 *    VEXVARIANT payload           VEXVarClear (text, bytes, array elements,
 *                                 the object reference)
 *    VEXNODE of a new root        VEXTreeDeleteNode(node, -1), or hand it to
 *                                 VEXTreeAddChild: it then goes with its tree
 *    KORERRINFO                   KORFreeErrorInfo
 *    KOROBJ                       KORRelease (see kor.h)
 *    texts of a KOREXCEPINFO      KORExcepInfoClear (see kor.h)
 *  Pointers into an object (VEXBufData, the name of VEXPropsItemA, the texts
 *  of an error record) are borrowed: valid while that object lives and is not
 *  changed, never freed. Static texts (VEXVarTypeNameA, PayfmtLibVersion)
 *  live as long as the library. Arguments that are not marked are only
 *  read: the caller keeps them. A null VEXBUF is an empty buffer; buffers
 *  hold any byte, NUL included.
 *
 * HANDLES
 *  VEXNODE is a 32-bit node handle; 0 is "no node". A handle that names no
 *  live node is refused with VEX_E_HANDLE, never dereferenced. VEXBUF,
 *  VEXPROPS, KOROBJ and KORERRINFO are pointers: passing one already freed is
 *  undefined, as with any freed pointer.
 *
 * THREADS
 *  Every function takes one process-wide recursive lock for the length of
 *  the call, so calls from several threads are serialised, and a function
 *  may be called again from inside another (a component method that uses
 *  the tree functions). Buffers, variants, lists, trees and components may
 *  be handed from one thread to another. The error record (KORGetErrorInfo)
 *  and the format error context (FormatErrorTextA) are kept per thread: each
 *  thread reads what its own calls left.
 */
#ifndef PAYFMT_VEX_H
#define PAYFMT_VEX_H

#include <stddef.h>
#include <stdint.h>

#include "export.h"

PAYFMT_EXTERN_C_BEGIN

/* ---- Status codes ------------------------------------------------------ */

#define VEX_OK 0u
#define VEX_E_POINTER 0x80004003u   /* a required pointer argument is null */
#define VEX_E_INVALIDARG 0x80070057u /* an argument is out of its domain */
#define VEX_E_HANDLE 0x80070006u    /* no live tree node has this handle */
#define VEX_E_FORMAT 0x8007000Du    /* malformed text (hex, Base64, notation, JSON) */
#define VEX_E_NOTFOUND 0x80070490u  /* no item of that name */
#define VEX_E_FILE 0x80070002u      /* a file could not be read or written */
#define VEX_E_TYPE 0x80020005u      /* a variant cannot be converted to that type */
#define VEX_E_OVERFLOW 0x8002000Au  /* a number does not fit its type */
#define VEX_E_BADINDEX 0x8002000Bu  /* array index out of range */
#define VEX_E_NOMEMORY 0x8007000Eu  /* allocation failed */
#define VEX_E_CLASSNOTREG 0x80040154u /* no component is registered under that name */
#define VEX_E_UNEXPECTED 0x8000FFFFu /* an internal failure */

#define VEX_FAILED(status) (((uint32_t)(status)&0x80000000u) != 0)

/* VEX_E_NOMEMORY may come back from any function that allocates; the
   comments below do not repeat it. */

/* ---- Opaque handles ------------------------------------------------------ */

typedef struct VEXBufBlock *VEXBUF;        /* counted byte block */
typedef struct VEXPropList *VEXPROPS;      /* ordered list of named variants */
typedef uint32_t VEXNODE;                  /* tree node handle, 0 = none */
typedef struct KORObject *KOROBJ;          /* reference-counted component */
typedef struct KORErrorRecord *KORERRINFO; /* error record */

/* ---- Buffers --------------------------------------------------------------
   A buffer is a counted block of bytes. Every buffer handed out belongs to
   the caller (VEXBufFree / VEXBufClear). */

/* A new buffer of n bytes, each set to fill (n == 0: a new empty buffer,
   not null). Returns null on failure. */
PAYFMT_API VEXBUF VEXBufAlloc(uint32_t n, uint8_t fill);

/* Frees the buffer; a null buffer is ignored. */
PAYFMT_API void VEXBufFree(VEXBUF buf);

/* buf [in/out]: frees *buf and sets it to null. A null buf or a null *buf
   is ignored, so clearing twice is harmless. */
PAYFMT_API void VEXBufClear(VEXBUF *buf);

/* The number of bytes in the buffer; 0 for null. */
PAYFMT_API uint32_t VEXBufLen(VEXBUF buf);

/* The bytes of the buffer, borrowed: valid until the buffer changes or is
   freed. Null for an empty or null buffer. The bytes are counted, not
   NUL-terminated. */
PAYFMT_API const uint8_t *VEXBufData(VEXBUF buf);

/* A new buffer holding a copy of buf; null stays null. Null on failure. */
PAYFMT_API VEXBUF VEXBufDupl(VEXBUF buf);

/* dst [in/out]: replaces *dst by a new buffer holding len bytes of data and
   frees the old one. len == (uint32_t)-1 takes data as NUL-terminated text
   (null data then reads as empty). An empty copy leaves *dst null. data may
   point into *dst.
   Returns 0; VEX_E_POINTER for a null dst, or null data with a length,
   with *dst unchanged. */
PAYFMT_API uint32_t VEXBufCopy(VEXBUF *dst, const void *data, uint32_t len);

/* A new buffer with count bytes of buf from start, cut to what exists; a
   start at or beyond the end gives a new empty buffer. Null on failure. */
PAYFMT_API VEXBUF VEXBufMid(VEXBUF buf, uint32_t start, uint32_t count);

/* buf [in/out]: inserts len bytes of data at pos (pos beyond the end
   appends). A null *buf becomes a new buffer. The block may move: pointers
   from VEXBufData are no longer valid. data may point into the buffer.
   Returns 0; VEX_E_POINTER for a null buf, or null data with a length. */
PAYFMT_API uint32_t VEXBufInsert(VEXBUF *buf, uint32_t pos, const void *data, uint32_t len);

/* buf [in/out]: removes count bytes at start, cut to what exists; a start
   at or beyond the end, or a null *buf, changes nothing.
   Returns 0; VEX_E_POINTER for a null buf. */
PAYFMT_API uint32_t VEXBufDelete(VEXBUF *buf, uint32_t start, uint32_t count);

/* buf [in/out]: sets the length to n; new bytes are set to fill. A null
   *buf becomes a new buffer (also for n == 0).
   Returns 0; VEX_E_POINTER for a null buf. */
PAYFMT_API uint32_t VEXBufResize(VEXBUF *buf, uint32_t n, uint8_t fill);

/* ---- Text codecs ---------------------------------------------------------
   Each conversion reads len characters of text (or len bytes of data), which
   may be null only when len is 0, and writes its result to out [out]: a new
   buffer, or null when the result is empty. Each returns 0, or
   VEX_E_POINTER for a null out, or null input with a length. */

/* Hexadecimal digits (either case) to bytes; stops at the first non-digit.
   An odd last digit fills the high nibble of a last byte. used [out, may be
   null] receives the number of digits read. Malformed text is not a
   failure: reading just stops. */
PAYFMT_API uint32_t VEXHexStrnToRawA(const char *text, uint32_t len, VEXBUF *out, uint32_t *used);

/* Bytes to upper-case hexadecimal digits, two per byte. */
PAYFMT_API uint32_t VEXRawToHexStrnA(const uint8_t *data, uint32_t len, VEXBUF *out);

/* RFC 4648 Base64, standard alphabet. Encoding pads with "="; decoding
   accepts text with or without the padding. Malformed text (a character
   outside the alphabet, padding anywhere but at the end, a lone last
   character): VEX_E_FORMAT, *out null. */
PAYFMT_API uint32_t VEXBase64ToRawA(const char *text, uint32_t len, VEXBUF *out);
PAYFMT_API uint32_t VEXRawToBase64A(const uint8_t *data, uint32_t len, VEXBUF *out);

/* EDA text: 0x20-0x7E except backslash stand for themselves, every other byte
   is a backslash and two upper-case hexadecimal digits. Decoding accepts
   digits of either case; a backslash without two digits after it:
   VEX_E_FORMAT, *out null. */
PAYFMT_API uint32_t VEXEdaToRawA(const char *text, uint32_t len, VEXBUF *out);
PAYFMT_API uint32_t VEXRawToEdaA(const uint8_t *data, uint32_t len, VEXBUF *out);

#define VEX_CONV_LATIN1_TO_CP500 1u
#define VEX_CONV_CP500_TO_LATIN1 2u
/* data [in/out]: recodes len bytes in place, by built-in conversion 1 or 2
   when table is null, else through the given 256-byte table (conversion is
   then not read).
   Returns 0; VEX_E_POINTER for null data with a length; VEX_E_INVALIDARG
   for an unknown conversion. */
PAYFMT_API uint32_t VEXStrnConvertA(uint8_t *data, uint32_t len, uint32_t conversion,
                                    const uint8_t table[256]);

/* Position of the first occurrence of needle in data, or -1 when there is
   none or a pointer is null with a length. An empty needle is found at 0.
   No status and no error record. */
PAYFMT_API int32_t VEXStrnSearchA(const uint8_t *data, uint32_t len, const uint8_t *needle,
                                  uint32_t needle_len);

/* Reads a number from text[*pos] up to text[end): an optional "-" (base 10
   only), then digits of the base (2-36, letters of either case above 9).
   pos [in/out] is moved past the digits read; value [out] is written only
   on success.
   Returns 0; VEX_E_POINTER for a null pos or value, or null text with an
   end; VEX_E_INVALIDARG for a base outside 2-36 and VEX_E_FORMAT for no
   digit at *pos, both with *pos unchanged; VEX_E_OVERFLOW for a value
   outside int32_t, with *pos past the digits. */
PAYFMT_API uint32_t VEXStrnToLongA(const char *text, uint32_t end, uint32_t base, uint32_t *pos,
                                   int32_t *value);

/* ---- Variants ------------------------------------------------------------ */

enum {
    VEXVT_EMPTY = 0,
    VEXVT_NULL = 1,
    VEXVT_MISSING = 2, /* an absent optional argument */
    VEXVT_INT = 3,     /* 64-bit signed */
    VEXVT_BOOL = 4,
    VEXVT_DOUBLE = 5,
    VEXVT_DATE = 6,    /* serial date: days since 30 December 1899 */
    VEXVT_STRING = 7,  /* counted 8-bit text */
    VEXVT_BLOB = 8,    /* counted bytes */
    VEXVT_OBJECT = 9,  /* component reference */
    VEXVT_ARRAY = 10   /* counted array of variants */
};

/* A tagged value of fixed layout; hosts may keep them in arrays. Initialise
   with VEXVarInit (or zero it), release with VEXVarClear. Payloads (text,
   bytes, array elements, the object reference) belong to the variant. A
   variant handed to a function as [out] need not be initialised; one handed
   as [in/out] or as an input must be. */
typedef struct VEXVARIANT {
    uint32_t type;   /* VEXVT_* */
    uint32_t length; /* bytes of a string or blob, elements of an array */
    union {
        int64_t i;             /* VEXVT_INT */
        int32_t b;             /* VEXVT_BOOL: 0 or 1 */
        double d;              /* VEXVT_DOUBLE, VEXVT_DATE */
        char *s;               /* VEXVT_STRING: length bytes then a NUL */
        uint8_t *p;            /* VEXVT_BLOB */
        KOROBJ obj;            /* VEXVT_OBJECT (may be null) */
        struct VEXVARIANT *a;  /* VEXVT_ARRAY */
    } u;
} VEXVARIANT;

/* v [out]: makes *v an empty variant without reading it: the way to start a
   variant. A null v is ignored. */
PAYFMT_API void VEXVarInit(VEXVARIANT *v);

/* v [in/out]: releases the payload (a component whose last reference this
   was is destroyed) and leaves *v empty. A null v is ignored. */
PAYFMT_API void VEXVarClear(VEXVARIANT *v);

/* dst [in/out]: releases the old value of *dst and makes it a copy of src:
   text, bytes and array elements are copied, an object gets one more
   reference. dst may equal src.
   Returns 0; VEX_E_POINTER for a null dst or src, with *dst unchanged. */
PAYFMT_API uint32_t VEXVarCopy(VEXVARIANT *dst, const VEXVARIANT *src);

/* v [in/out]: each setter releases the old value of *v and stores the new
   one. The setters without a status ignore a null v; on failure they leave
   *v as it was and set the thread's error record. */
PAYFMT_API void VEXVarSetInt(VEXVARIANT *v, int64_t value);
PAYFMT_API void VEXVarSetBool(VEXVARIANT *v, int32_t value); /* any non-zero value is 1 */
PAYFMT_API void VEXVarSetDouble(VEXVARIANT *v, double value);
PAYFMT_API void VEXVarSetDate(VEXVARIANT *v, double serial);
/* A copy of len bytes of text, kept with a NUL after them so that u.s reads
   as C text. len (uint32_t)-1: NUL-terminated text (null reads as empty).
   Returns 0; VEX_E_POINTER for a null v, or null text with a length. */
PAYFMT_API uint32_t VEXVarSetStrA(VEXVARIANT *v, const char *text, uint32_t len);
/* A copy of len bytes. Returns 0; VEX_E_POINTER for a null v, or null data
   with a length. */
PAYFMT_API uint32_t VEXVarSetBlob(VEXVARIANT *v, const uint8_t *data, uint32_t len);
PAYFMT_API void VEXVarSetMissing(VEXVARIANT *v);
PAYFMT_API void VEXVarSetNull(VEXVARIANT *v);
/* An array of count empty elements. Returns 0; VEX_E_POINTER for a null v;
   VEX_E_NOMEMORY above 0x0FFFFFFF elements. */
PAYFMT_API uint32_t VEXVarSetArray(VEXVARIANT *v, uint32_t count);
/* Takes one more reference on obj (which may be null); the variant gives it
   back when released. */
PAYFMT_API void VEXVarSetObject(VEXVARIANT *v, KOROBJ obj);

/* 1 when the variant has that type, else 0. A null v counts as empty. */
PAYFMT_API int32_t VEXVarIsEmpty(const VEXVARIANT *v);
PAYFMT_API int32_t VEXVarIsMissing(const VEXVARIANT *v);
PAYFMT_API int32_t VEXVarIsStr(const VEXVARIANT *v);
PAYFMT_API int32_t VEXVarIsBlob(const VEXVARIANT *v);

/* The name of the variant's type: "Empty", "Null", "Missing", "Integer",
   "Boolean", "Double", "Date", "String", "Blob", "Object", "Array" ("Empty"
   for a null v). A static text: never freed. */
PAYFMT_API const char *VEXVarTypeNameA(const VEXVARIANT *v);

/* dst [in/out]: *dst := src converted to type (VEXVT_*), the old value of
   *dst released; dst may equal src. To Integer, Boolean, Double or Date
   from numbers, booleans, empty and numeric text ("true"/"false" too for
   Boolean; doubles are rounded to Integer); to String from any of those and
   from text and bytes; to Blob from String, Blob or Empty; to Object or
   Array only from the same type; to Empty, Null or Missing from anything.
   Returns 0; VEX_E_POINTER for a null dst or src; VEX_E_INVALIDARG for a
   type that is not a VEXVT_* value; VEX_E_TYPE when the value cannot be
   converted. On failure *dst is unchanged. */
PAYFMT_API uint32_t VEXVarCast(VEXVARIANT *dst, const VEXVARIANT *src, uint32_t type);

/* result [out, written on success]: -1, 0 or 1 as a is less than, equal to
   or greater than b. Text and bytes compare byte by byte, numbers (and
   numeric text against numbers) by value, arrays element by element; two
   empty, null or missing values are equal; objects are equal when they are
   the same component.
   Returns 0; VEX_E_POINTER for a null argument; VEX_E_TYPE for values that
   cannot be compared. */
PAYFMT_API uint32_t VEXVarComp(const VEXVARIANT *a, const VEXVARIANT *b, int32_t *result);

/* element [out]: a copy of the element at index (from 0) of array.
   Returns 0; VEX_E_POINTER for a null argument; VEX_E_TYPE when array is
   not an array; VEX_E_BADINDEX for an index at or beyond its length;
   VEX_E_INVALIDARG when element is array. */
PAYFMT_API uint32_t VEXVarArrayGet(const VEXVARIANT *array, uint32_t index, VEXVARIANT *element);

/* array [in/out]: replaces the element at index by a copy of element,
   releasing the old one.
   Returns 0; VEX_E_POINTER for a null argument; VEX_E_TYPE when array is
   not an array; VEX_E_BADINDEX for an index at or beyond its length. */
PAYFMT_API uint32_t VEXVarArrayPut(VEXVARIANT *array, uint32_t index, const VEXVARIANT *element);

/* Reads one value in the text notation at text[*pos], within len characters
   (text may be null when len is 0): a double-quoted string ("" stands for
   one quote), a signed decimal integer, a decimal number with a point, true
   or false (any case); blanks around it are skipped. flags is reserved
   (0x300 is accepted).
   pos [in/out] moves past what was read, and on failure to where reading
   stopped. out [out]: the value, a string, an integer, a double or a
   boolean.
   Returns 0; VEX_E_POINTER for a null pos or out, or null text with a
   length; VEX_E_FORMAT when no value stands at *pos. */
PAYFMT_API uint32_t VEXVarFromTextA(const char *text, uint32_t len, uint32_t *pos, uint32_t flags,
                                    VEXVARIANT *out);
#define VEX_TEXT_PLAIN 0u     /* the value's own text: a string as it is */
#define VEX_TEXT_NOTATION 1u  /* the notation above: strings quoted */
/* out [out]: the value as text in a new buffer (also for empty text).
   VEX_TEXT_PLAIN: numbers in decimal, booleans "True" or "False", strings
   and blobs their bytes, an empty value empty text. VEX_TEXT_NOTATION: as
   VEXVarFromTextA reads it, strings and blobs quoted, doubles with a point;
   a null, missing, object or array value gives empty text.
   Returns 0; VEX_E_POINTER for a null v or out; VEX_E_TYPE for a null,
   missing, object or array value as plain text. */
PAYFMT_API uint32_t VEXVarToTextA(const VEXVARIANT *v, uint32_t flags, VEXBUF *out);

/* ---- Property lists ------------------------------------------------------
   Ordered named variants; names compare without regard to ASCII case. A
   null name reads as the empty name. Every function with a status answers
   VEX_E_POINTER for a null props. */

/* A new empty list, which the caller frees (VEXPropsFree). Null on
   failure. */
PAYFMT_API VEXPROPS VEXPropsCreate(void);
/* Frees the list and releases its values; a null list is ignored. */
PAYFMT_API void VEXPropsFree(VEXPROPS props);
/* The number of items; 0 for null. */
PAYFMT_API uint32_t VEXPropsCount(VEXPROPS props);
/* Removes every item; a null list is ignored. */
PAYFMT_API void VEXPropsClear(VEXPROPS props);
/* value [out]: a copy of the item's value.
   Returns 0; VEX_E_POINTER for a null value; VEX_E_NOTFOUND when absent. */
PAYFMT_API uint32_t VEXPropsNamedItemA(VEXPROPS props, const char *name, VEXVARIANT *value);
/* Sets the item to a copy of value, creating it at the end when absent.
   Returns 0; VEX_E_POINTER for a null value. */
PAYFMT_API uint32_t VEXPropsEditNamedItemA(VEXPROPS props, const char *name, const VEXVARIANT *value);
/* Removes the item; removing an absent item does nothing. Returns 0. */
PAYFMT_API uint32_t VEXPropsRemoveNamedItemA(VEXPROPS props, const char *name);
/* Item index (from 0). name [out, may be null]: the item's name, borrowed,
   valid until the list changes or is freed. value [out, may be null]: a
   copy of its value.
   Returns 0; VEX_E_BADINDEX for an index at or beyond the count. */
PAYFMT_API uint32_t VEXPropsItemA(VEXPROPS props, uint32_t index, const char **name, VEXVARIANT *value);
/* Copies every item of src into dst, replacing items of the same name and
   appending the others; dst may equal src. Returns 0; VEX_E_POINTER for a
   null dst or src. */
PAYFMT_API uint32_t VEXPropsMerge(VEXPROPS dst, VEXPROPS src);
/* out [out]: a new buffer (also for an empty list) with
   "Name=value;Name=value", values in the text notation (VEX_TEXT_NOTATION).
   Returns 0; VEX_E_POINTER for a null out. */
PAYFMT_API uint32_t VEXPropsToTextA(VEXPROPS props, VEXBUF *out);
/* Reads "Name=value;Name=value" (values in the text notation; "Name=" is an
   empty value; spaces around names are dropped) and merges the items into
   props as VEXPropsMerge does. A null text reads as empty.
   Returns 0; VEX_E_FORMAT for malformed text, with props unchanged. */
PAYFMT_API uint32_t VEXPropsFromTextA(VEXPROPS props, const char *text);

/* ---- Trees ---------------------------------------------------------------
   A node has a name, a property list, an attribute word (bit 7 = group), an
   ordered list of children and a parent. The handle is the node's unique
   identifier. Nodes live in one table of the process: a parentless node
   (a root) belongs to whoever made it, and deleting it deletes its whole
   subtree. Every function given a handle that names no live node fails with
   VEX_E_HANDLE (or answers 0 and sets the error record). A null name reads
   as the empty name. */

#define VEX_NODE_GROUP 0x80u

/* A new parentless node (attrib 128 for a group, 0 for a field), which the
   caller deletes (VEXTreeDeleteNode) or adds to a tree. 0 on failure
   (VEX_E_NOMEMORY when the table is full). */
PAYFMT_API VEXNODE VEXTreeCreateNode(const char *name, uint32_t attrib);
/* Makes child the index-th child of parent (-1, or an index beyond the
   end, appends); a node that has a parent is moved. A node cannot become
   its own descendant.
   Returns 0; VEX_E_INVALIDARG when child is parent or one of its
   ancestors. */
PAYFMT_API uint32_t VEXTreeAddChild(VEXNODE parent, VEXNODE child, int32_t index);
/* Unlinks the node and deletes it with its whole subtree (depth must be
   -1); every handle of the subtree becomes stale.
   Returns 0; VEX_E_INVALIDARG for another depth. */
PAYFMT_API uint32_t VEXTreeDeleteNode(VEXNODE node, int32_t depth);
/* A new parentless copy of the node, which the caller deletes: depth 0
   copies the node alone, any other depth the whole subtree. 0 on failure. */
PAYFMT_API VEXNODE VEXTreeCopy(VEXNODE node, int32_t depth);
/* 1 when the handle names a live node, else 0. */
PAYFMT_API int32_t VEXTreeIsNode(VEXNODE node);
/* count [out, written on success]: the number of children.
   Returns 0; VEX_E_POINTER for a null count. */
PAYFMT_API uint32_t VEXTreeChildCount(VEXNODE node, uint32_t *count);
/* The index-th child (from 0), 0 when there is none. */
PAYFMT_API VEXNODE VEXTreeGetChild(VEXNODE node, uint32_t index);
/* The parent, 0 for a root. */
PAYFMT_API VEXNODE VEXTreeGetParent(VEXNODE node);
/* The next child of the same parent, 0 for the last one and for a root. */
PAYFMT_API VEXNODE VEXTreeGetNextSibling(VEXNODE node);
/* Pre-order successor of node within the tree rooted at root, 0 at the end. */
PAYFMT_API VEXNODE VEXTreeGetNextNode(VEXNODE root, VEXNODE node);
/* level [out, written on success]: depth below the root of the node's tree
   (a root is level 0). Returns 0; VEX_E_POINTER for a null level. */
PAYFMT_API uint32_t VEXTreeGetLevel(VEXNODE node, uint32_t *level);
/* name [out]: the name in a new buffer (NUL not included; also for an
   empty name). Returns 0; VEX_E_POINTER for a null name. */
PAYFMT_API uint32_t VEXTreeGetNodeName(VEXNODE node, VEXBUF *name);
/* Renames the node. Returns 0. */
PAYFMT_API uint32_t VEXTreeSetNodeName(VEXNODE node, const char *name);
/* attrib [out, written on success]: the attribute word.
   Returns 0; VEX_E_POINTER for a null attrib. */
PAYFMT_API uint32_t VEXTreeGetNodeAttrib(VEXNODE node, uint32_t *attrib);
/* Sets the attribute word. Returns 0. */
PAYFMT_API uint32_t VEXTreeSetNodeAttrib(VEXNODE node, uint32_t attrib);
/* props [out]: a new list holding a copy of the node's properties, which
   the caller frees (VEXPropsFree); changes reach the node only through
   VEXTreeSetNodeProps. Returns 0; VEX_E_POINTER for a null props. */
PAYFMT_API uint32_t VEXTreeGetNodeProps(VEXNODE node, VEXPROPS *props);
/* Replaces the node's properties by a copy of props; the caller keeps
   props. Returns 0; VEX_E_POINTER for a null props. */
PAYFMT_API uint32_t VEXTreeSetNodeProps(VEXNODE node, VEXPROPS props);
/* value [out]: a copy of one property of the node.
   Returns 0; VEX_E_POINTER for a null value; VEX_E_NOTFOUND when absent. */
PAYFMT_API uint32_t VEXTreeGetPropA(VEXNODE node, const char *name, VEXVARIANT *value);
/* Sets one property of the node to a copy of value, creating it at the end
   when absent. Returns 0; VEX_E_POINTER for a null value. */
PAYFMT_API uint32_t VEXTreeSetPropA(VEXNODE node, const char *name, const VEXVARIANT *value);
/* First node below start (pre-order, start excluded) whose property name
   equals value (as VEXVarComp compares); 0 when none, and on failure (a
   stale start, a null value). */
PAYFMT_API VEXNODE VEXTreeSearchNode(VEXNODE start, const char *name, const VEXVARIANT *value);
/* json [out]: the subtree as JSON text, indented by two spaces, in a new
   buffer: {"name", "group", "attrib" (only when bits other than the group
   bit are set), "props", "children"}. Property values are JSON numbers,
   booleans and strings, arrays, or {"blob": "hex digits"}, {"date": serial},
   {"null": true}, {"missing": true}.
   Returns 0; VEX_E_POINTER for a null json; VEX_E_INVALIDARG for a tree
   more than 512 levels deep. */
PAYFMT_API uint32_t VEXTreeToJsonA(VEXNODE node, VEXBUF *json);
/* node [out]: a new parentless tree built from len characters of JSON in
   the form VEXTreeToJsonA writes (a property may also be {"istr": "IStr
   text"}, read as a blob), which the caller deletes; 0 on failure.
   Returns 0; VEX_E_POINTER for a null node, or null json with a length;
   VEX_E_FORMAT for malformed JSON, an unknown key or a value of the wrong
   kind. */
PAYFMT_API uint32_t VEXTreeFromJsonA(const char *json, uint32_t len, VEXNODE *node);
/* Writes the JSON of VEXTreeToJsonA and a newline to the file at path.
   Returns 0; VEX_E_POINTER for a null path; VEX_E_FILE when the file
   cannot be written. */
PAYFMT_API uint32_t VEXTreeSaveA(VEXNODE node, const char *path);
/* node [out]: a new parentless tree read from the JSON file at path, as
   VEXTreeFromJsonA reads it; 0 on failure.
   Returns 0; VEX_E_POINTER for a null path or node; VEX_E_FILE when the
   file cannot be opened; VEX_E_FORMAT as VEXTreeFromJsonA. */
PAYFMT_API uint32_t VEXTreeLoadA(const char *path, VEXNODE *node);
/* Number of live nodes in the process (for leak checks). */
PAYFMT_API uint32_t VEXTreeNodeCount(void);

/* ---- Error records -------------------------------------------------------
   One current record per thread: a failing call replaces it, and it is
   never shared with another thread. The records these functions hand out
   are copies owned by the caller, released with KORFreeErrorInfo. Apart
   from KORSetErrorInfo, these functions never change the current record,
   not even when they fail. */

/* A new record with the given fields (null texts read as empty), which the
   caller frees (KORFreeErrorInfo). Null on failure. */
PAYFMT_API KORERRINFO KORCreateErrorInfoA(uint32_t code, const char *source,
                                          const char *description, const char *help_file,
                                          uint32_t help_context);
/* Frees the record; null is ignored. */
PAYFMT_API void KORFreeErrorInfo(KORERRINFO info);
/* Makes a copy of info the calling thread's current record; null clears
   it, and so does a copy that cannot be made. The caller keeps info. */
PAYFMT_API void KORSetErrorInfo(KORERRINFO info);
/* info [out]: a copy of the calling thread's current record, or null when
   there is none. Returns 0 when a record was there, 1 otherwise;
   VEX_E_POINTER for a null info. Reading does not clear the record. */
PAYFMT_API uint32_t KORGetErrorInfo(KORERRINFO *info);
/* The fields of a record; 0 or "" for a null record. The texts are
   borrowed: valid while the record lives, never null. */
PAYFMT_API uint32_t KORErrorInfoCode(KORERRINFO info);
PAYFMT_API const char *KORErrorInfoSourceA(KORERRINFO info);
PAYFMT_API const char *KORErrorInfoDescriptionA(KORERRINFO info);
PAYFMT_API const char *KORErrorInfoHelpFileA(KORERRINFO info);
PAYFMT_API uint32_t KORErrorInfoHelpContext(KORERRINFO info);

PAYFMT_EXTERN_C_END

#endif
