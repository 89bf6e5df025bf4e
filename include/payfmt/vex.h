/*
 * payfmt support layer: byte buffers, text codecs, variants, property lists,
 * trees and per-thread error records.
 *
 * Conventions that hold for every function in this header:
 *
 *  - Status results are 32-bit codes: 0 is success, a value with the top bit
 *    set is a failure (VEX_E_*). Every failure also replaces the calling
 *    thread's error record (see KORGetErrorInfo) with a description of what
 *    went wrong.
 *  - Functions that hand out a handle (VEXBUF, VEXPROPS, KORERRINFO) or fill a
 *    VEXVARIANT give the caller ownership: release it with the matching
 *    Free/Clear function. Functions taking a "const" handle only read it.
 *  - A null VEXBUF is an empty buffer. Buffers hold any byte, NUL included.
 *  - VEXNODE is a 32-bit node handle; 0 is "no node". A handle that names no
 *    live node is refused with VEX_E_HANDLE, never dereferenced.
 *  - Every function may be called from any thread; calls are serialised by
 *    one process-wide lock. The error record is kept per thread.
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

/* ---- Opaque handles ------------------------------------------------------ */

typedef struct VEXBufBlock *VEXBUF;        /* counted byte block */
typedef struct VEXPropList *VEXPROPS;      /* ordered list of named variants */
typedef uint32_t VEXNODE;                  /* tree node handle, 0 = none */
typedef struct KORObject *KOROBJ;          /* reference-counted component */
typedef struct KORErrorRecord *KORERRINFO; /* error record */

/* ---- Buffers ------------------------------------------------------------- */

/* A new buffer of n bytes, each set to fill. Returns null on failure. */
PAYFMT_API VEXBUF VEXBufAlloc(uint32_t n, uint8_t fill);
/* Frees the buffer; a null buffer is ignored. */
PAYFMT_API void VEXBufFree(VEXBUF buf);
/* Frees *buf and sets it to null. */
PAYFMT_API void VEXBufClear(VEXBUF *buf);
PAYFMT_API uint32_t VEXBufLen(VEXBUF buf);
/* The bytes of the buffer (valid until it changes); null for an empty buffer. */
PAYFMT_API const uint8_t *VEXBufData(VEXBUF buf);
/* A new buffer holding a copy of buf (null stays null). */
PAYFMT_API VEXBUF VEXBufDupl(VEXBUF buf);
/* Replaces *dst by a new buffer holding len bytes of data. len == (uint32_t)-1
   takes data as NUL-terminated text. An empty copy leaves *dst null. */
PAYFMT_API uint32_t VEXBufCopy(VEXBUF *dst, const void *data, uint32_t len);
/* A new buffer with count bytes of buf from start (cut to what exists). */
PAYFMT_API VEXBUF VEXBufMid(VEXBUF buf, uint32_t start, uint32_t count);
/* Inserts len bytes at pos (pos beyond the end appends); may move the block. */
PAYFMT_API uint32_t VEXBufInsert(VEXBUF *buf, uint32_t pos, const void *data, uint32_t len);
/* Removes count bytes at start (cut to what exists). */
PAYFMT_API uint32_t VEXBufDelete(VEXBUF *buf, uint32_t start, uint32_t count);
/* Sets the length to n; new bytes are set to fill. */
PAYFMT_API uint32_t VEXBufResize(VEXBUF *buf, uint32_t n, uint8_t fill);

/* ---- Text codecs ---------------------------------------------------------
   Each conversion writes a new buffer to *out (null when the result is empty)
   and, where it reads text, reports through *used how many input characters
   it consumed (may be null). */

/* Hexadecimal digits (either case) to bytes; stops at the first non-digit.
   An odd last digit fills the high nibble of a last byte. */
PAYFMT_API uint32_t VEXHexStrnToRawA(const char *text, uint32_t len, VEXBUF *out, uint32_t *used);
/* Bytes to upper-case hexadecimal digits. */
PAYFMT_API uint32_t VEXRawToHexStrnA(const uint8_t *data, uint32_t len, VEXBUF *out);
/* RFC 4648 Base64 (standard alphabet, padded). Malformed input: VEX_E_FORMAT. */
PAYFMT_API uint32_t VEXBase64ToRawA(const char *text, uint32_t len, VEXBUF *out);
PAYFMT_API uint32_t VEXRawToBase64A(const uint8_t *data, uint32_t len, VEXBUF *out);
/* EDA text: 0x20-0x7E except backslash stand for themselves, every other byte
   is a backslash and two upper-case hexadecimal digits. */
PAYFMT_API uint32_t VEXEdaToRawA(const char *text, uint32_t len, VEXBUF *out);
PAYFMT_API uint32_t VEXRawToEdaA(const uint8_t *data, uint32_t len, VEXBUF *out);

#define VEX_CONV_LATIN1_TO_CP500 1u
#define VEX_CONV_CP500_TO_LATIN1 2u
/* Recodes len bytes in place: by built-in conversion 1 or 2 when table is
   null, else through the given 256-byte table. */
PAYFMT_API uint32_t VEXStrnConvertA(uint8_t *data, uint32_t len, uint32_t conversion,
                                    const uint8_t table[256]);
/* Position of the first occurrence of needle in data, or -1. */
PAYFMT_API int32_t VEXStrnSearchA(const uint8_t *data, uint32_t len, const uint8_t *needle,
                                  uint32_t needle_len);
/* Reads a number from text[*pos] up to text[end): an optional "-" (base 10
   only), then digits of the base (2-36). *pos is moved past what was read.
   No digit, or a value outside int32_t, fails with VEX_E_FORMAT or
   VEX_E_OVERFLOW. */
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
   bytes, array elements, the object reference) belong to the variant. */
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

PAYFMT_API void VEXVarInit(VEXVARIANT *v);
PAYFMT_API void VEXVarClear(VEXVARIANT *v);
PAYFMT_API uint32_t VEXVarCopy(VEXVARIANT *dst, const VEXVARIANT *src);
PAYFMT_API void VEXVarSetInt(VEXVARIANT *v, int64_t value);
PAYFMT_API void VEXVarSetBool(VEXVARIANT *v, int32_t value);
PAYFMT_API void VEXVarSetDouble(VEXVARIANT *v, double value);
PAYFMT_API void VEXVarSetDate(VEXVARIANT *v, double serial);
PAYFMT_API uint32_t VEXVarSetStrA(VEXVARIANT *v, const char *text, uint32_t len); /* len -1: NUL-terminated */
PAYFMT_API uint32_t VEXVarSetBlob(VEXVARIANT *v, const uint8_t *data, uint32_t len);
PAYFMT_API void VEXVarSetMissing(VEXVARIANT *v);
PAYFMT_API void VEXVarSetNull(VEXVARIANT *v);
/* An array of count empty elements. */
PAYFMT_API uint32_t VEXVarSetArray(VEXVARIANT *v, uint32_t count);
/* Takes one more reference on obj. */
PAYFMT_API void VEXVarSetObject(VEXVARIANT *v, KOROBJ obj);

PAYFMT_API int32_t VEXVarIsEmpty(const VEXVARIANT *v);
PAYFMT_API int32_t VEXVarIsMissing(const VEXVARIANT *v);
PAYFMT_API int32_t VEXVarIsStr(const VEXVARIANT *v);
PAYFMT_API int32_t VEXVarIsBlob(const VEXVARIANT *v);
/* The name of the variant's type ("Empty", "Integer", "String", ...). */
PAYFMT_API const char *VEXVarTypeNameA(const VEXVARIANT *v);
/* *dst := src converted to the type (VEXVT_*); dst may equal src. */
PAYFMT_API uint32_t VEXVarCast(VEXVARIANT *dst, const VEXVARIANT *src, uint32_t type);
/* *result := -1, 0 or 1. Values of kinds that cannot be compared: VEX_E_TYPE. */
PAYFMT_API uint32_t VEXVarComp(const VEXVARIANT *a, const VEXVARIANT *b, int32_t *result);
/* Array elements, from index 0. */
PAYFMT_API uint32_t VEXVarArrayGet(const VEXVARIANT *array, uint32_t index, VEXVARIANT *element);
PAYFMT_API uint32_t VEXVarArrayPut(VEXVARIANT *array, uint32_t index, const VEXVARIANT *element);

/* Reads one value in the text notation at text[*pos]: a double-quoted string
   ("" stands for one quote), a signed decimal integer, a decimal number with a
   point, true or false (any case); blanks around it are skipped. *pos moves
   past what was read. flags is reserved (0x300 is accepted). */
PAYFMT_API uint32_t VEXVarFromTextA(const char *text, uint32_t len, uint32_t *pos, uint32_t flags,
                                    VEXVARIANT *out);
#define VEX_TEXT_PLAIN 0u     /* the value's own text: a string as it is */
#define VEX_TEXT_NOTATION 1u  /* the notation above: strings quoted */
/* Writes the value as text into a new buffer. */
PAYFMT_API uint32_t VEXVarToTextA(const VEXVARIANT *v, uint32_t flags, VEXBUF *out);

/* ---- Property lists ------------------------------------------------------
   Ordered named variants; names compare without regard to ASCII case. */

PAYFMT_API VEXPROPS VEXPropsCreate(void);
PAYFMT_API void VEXPropsFree(VEXPROPS props);
PAYFMT_API uint32_t VEXPropsCount(VEXPROPS props);
PAYFMT_API void VEXPropsClear(VEXPROPS props);
/* Copies the item's value into *value. Absent: VEX_E_NOTFOUND. */
PAYFMT_API uint32_t VEXPropsNamedItemA(VEXPROPS props, const char *name, VEXVARIANT *value);
/* Sets the item, creating it at the end when absent. */
PAYFMT_API uint32_t VEXPropsEditNamedItemA(VEXPROPS props, const char *name, const VEXVARIANT *value);
/* Removing an absent item does nothing. */
PAYFMT_API uint32_t VEXPropsRemoveNamedItemA(VEXPROPS props, const char *name);
/* Name and value of item index (name valid until the list changes). */
PAYFMT_API uint32_t VEXPropsItemA(VEXPROPS props, uint32_t index, const char **name, VEXVARIANT *value);
/* Copies every item of src into dst, replacing items of the same name. */
PAYFMT_API uint32_t VEXPropsMerge(VEXPROPS dst, VEXPROPS src);
/* "Name=value;Name=value" with values in the text notation. */
PAYFMT_API uint32_t VEXPropsToTextA(VEXPROPS props, VEXBUF *out);
PAYFMT_API uint32_t VEXPropsFromTextA(VEXPROPS props, const char *text);

/* ---- Trees ---------------------------------------------------------------
   A node has a name, a property list, an attribute word (bit 7 = group), an
   ordered list of children and a parent. The handle is the node's unique
   identifier. */

#define VEX_NODE_GROUP 0x80u

/* A new parentless node (attrib 128 for a group, 0 for a field); 0 on failure. */
PAYFMT_API VEXNODE VEXTreeCreateNode(const char *name, uint32_t attrib);
/* Makes child the index-th child of parent (-1 appends); a node that has a
   parent is moved. A node cannot become its own descendant. */
PAYFMT_API uint32_t VEXTreeAddChild(VEXNODE parent, VEXNODE child, int32_t index);
/* Unlinks the node and deletes it with its whole subtree (depth must be -1). */
PAYFMT_API uint32_t VEXTreeDeleteNode(VEXNODE node, int32_t depth);
/* A parentless copy of the node: depth -1 copies the whole subtree, 0 the node alone. */
PAYFMT_API VEXNODE VEXTreeCopy(VEXNODE node, int32_t depth);
PAYFMT_API int32_t VEXTreeIsNode(VEXNODE node);
PAYFMT_API uint32_t VEXTreeChildCount(VEXNODE node, uint32_t *count);
/* The index-th child (from 0), 0 when there is none. */
PAYFMT_API VEXNODE VEXTreeGetChild(VEXNODE node, uint32_t index);
PAYFMT_API VEXNODE VEXTreeGetParent(VEXNODE node);
PAYFMT_API VEXNODE VEXTreeGetNextSibling(VEXNODE node);
/* Pre-order successor of node within the tree rooted at root, 0 at the end. */
PAYFMT_API VEXNODE VEXTreeGetNextNode(VEXNODE root, VEXNODE node);
/* Depth below the root of the node's tree (a root is level 0). */
PAYFMT_API uint32_t VEXTreeGetLevel(VEXNODE node, uint32_t *level);
/* The name into a new buffer (NUL not included). */
PAYFMT_API uint32_t VEXTreeGetNodeName(VEXNODE node, VEXBUF *name);
PAYFMT_API uint32_t VEXTreeSetNodeName(VEXNODE node, const char *name);
PAYFMT_API uint32_t VEXTreeGetNodeAttrib(VEXNODE node, uint32_t *attrib);
PAYFMT_API uint32_t VEXTreeSetNodeAttrib(VEXNODE node, uint32_t attrib);
/* A copy of the node's properties, which the caller frees; changes reach the
   node only through VEXTreeSetNodeProps. */
PAYFMT_API uint32_t VEXTreeGetNodeProps(VEXNODE node, VEXPROPS *props);
PAYFMT_API uint32_t VEXTreeSetNodeProps(VEXNODE node, VEXPROPS props);
/* One property of the node (VEX_E_NOTFOUND when absent). */
PAYFMT_API uint32_t VEXTreeGetPropA(VEXNODE node, const char *name, VEXVARIANT *value);
PAYFMT_API uint32_t VEXTreeSetPropA(VEXNODE node, const char *name, const VEXVARIANT *value);
/* First node below start (pre-order, start excluded) whose property name
   equals value; 0 when none. */
PAYFMT_API VEXNODE VEXTreeSearchNode(VEXNODE start, const char *name, const VEXVARIANT *value);
/* JSON text of the subtree: {"name", "group", "attrib", "props", "children"}. */
PAYFMT_API uint32_t VEXTreeToJsonA(VEXNODE node, VEXBUF *json);
PAYFMT_API uint32_t VEXTreeFromJsonA(const char *json, uint32_t len, VEXNODE *node);
PAYFMT_API uint32_t VEXTreeSaveA(VEXNODE node, const char *path);
PAYFMT_API uint32_t VEXTreeLoadA(const char *path, VEXNODE *node);
/* Number of live nodes in the process (for leak checks). */
PAYFMT_API uint32_t VEXTreeNodeCount(void);

/* ---- Error records -------------------------------------------------------
   One current record per thread. Records are owned by whoever created or
   fetched them and are released with KORFreeErrorInfo. */

PAYFMT_API KORERRINFO KORCreateErrorInfoA(uint32_t code, const char *source,
                                          const char *description, const char *help_file,
                                          uint32_t help_context);
PAYFMT_API void KORFreeErrorInfo(KORERRINFO info);
/* Makes a copy of info the thread's current record; null clears it. */
PAYFMT_API void KORSetErrorInfo(KORERRINFO info);
/* *info := a copy of the thread's current record, or null when there is
   none. Returns 0 when a record was there, 1 otherwise. */
PAYFMT_API uint32_t KORGetErrorInfo(KORERRINFO *info);
PAYFMT_API uint32_t KORErrorInfoCode(KORERRINFO info);
/* Texts of the record (valid while the record lives; never null). */
PAYFMT_API const char *KORErrorInfoSourceA(KORERRINFO info);
PAYFMT_API const char *KORErrorInfoDescriptionA(KORERRINFO info);
PAYFMT_API const char *KORErrorInfoHelpFileA(KORERRINFO info);
PAYFMT_API uint32_t KORErrorInfoHelpContext(KORERRINFO info);

PAYFMT_EXTERN_C_END

#endif
