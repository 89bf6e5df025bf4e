/*
 * payfmt components: creation by name, reference counting and dispatch of
 * properties and methods by member identifier (dispid) or by name.
 *
 * A component (the TVR and TSI sequences, parsers, the settings object) is a
 * reference-counted object reached only through its members. Each member has
 * a name, unique within the component and compared without regard to ASCII
 * case, and a dispid. Properties are read and written, methods are called,
 * always with VEXVARIANT values (see vex.h).
 *
 * Every function here follows the contract stated at the top of vex.h:
 * status results and the thread's error record, the out-parameter rule
 * (marked [out]: written first, never read or freed), in/out parameters
 * (marked [in/out]), ownership, and threads (one process-wide recursive
 * lock serialises every call; error records are per thread). What this
 * header adds:
 *
 *  - Reference counts. A KOROBJ handed out through an [out] KOROBJ *
 *    (KORCreateObjectA, GetDefaultParser, GetFormatRef), or held in a
 *    VEXVARIANT of type VEXVT_OBJECT, carries one reference that belongs to
 *    the receiver: release it with KORRelease (or VEXVarClear for the
 *    variant). KORAddRef takes one more reference, each of which needs its
 *    own KORRelease. A component is destroyed when its last reference goes;
 *    using a KOROBJ after that is undefined, as with any freed pointer.
 *    A component may be used from any thread: its calls are serialised too.
 *  - Arguments (args, nargs) are read and stay the caller's, who releases
 *    them after the call; args may be null when nargs is 0. A method with
 *    an in/out argument (a parser's Compile message) writes its new value
 *    into that element of args, releasing the old one: such an element is
 *    [in/out] and must be initialised.
 *  - A result VEXVARIANT is [out]: it need not be initialised, it is made
 *    empty before anything else and never read, and after the call it holds
 *    the value or stays empty (after a put, a failure, or a refusal of the
 *    arguments). The value belongs to the caller (VEXVarClear). A caller
 *    that reuses a result variable clears it before the next call. It must
 *    not be one of args (VEX_E_INVALIDARG).
 *  - Texts handed out inside KORCOMPONENTINFO and KORMEMBERINFO belong to the
 *    component's class description: they stay valid while the caller holds
 *    a reference to the component, and must not be freed.
 */
#ifndef PAYFMT_KOR_H
#define PAYFMT_KOR_H

#include <stdint.h>

#include "export.h"
#include "vex.h"

PAYFMT_EXTERN_C_BEGIN

/* ---- Dispatch flags (combine METHOD and GET to call or read) ------------ */

#define KOR_DISPATCH_METHOD 1u /* call a method */
#define KOR_DISPATCH_GET 2u    /* read a property (indices in args) */
#define KOR_DISPATCH_PUT 4u    /* write a property: indices first, value last */

/* ---- Dispatch status codes ----------------------------------------------- */

#define KOR_E_MEMBERNOTFOUND 0x80020003u /* no member with that dispid or name */
#define KOR_E_PARAMNOTFOUND 0x80020004u  /* a put without a value */
#define KOR_E_TYPEMISMATCH 0x80020005u   /* an argument of the wrong type */
#define KOR_E_UNKNOWNNAME 0x80020006u    /* KORGetIDsOfNamesA: no member of that name */
#define KOR_E_NONAMEDARGS 0x80020007u    /* named arguments are not supported */
#define KOR_E_EXCEPTION 0x80020009u      /* the component failed; see the exception record */
#define KOR_E_OVERFLOW 0x8002000Au       /* a number outside the range of its parameter */
#define KOR_E_BADINDEX 0x8002000Bu       /* an index outside an indexed property */
#define KOR_E_BADPARAMCOUNT 0x8002000Eu  /* wrong number of arguments */

/* The codes components raise themselves: the dispatch codes above with the
   top two bits set (0x8002xxxx becomes 0xC002xxxx). Component-specific
   failures carry their own codes (for example 0xE2060002). */
#define KOR_C_MEMBERNOTFOUND 0xC0020003u
#define KOR_C_PARAMNOTFOUND 0xC0020004u
#define KOR_C_TYPEMISMATCH 0xC0020005u
#define KOR_C_OVERFLOW 0xC002000Au
#define KOR_C_BADINDEX 0xC002000Bu
#define KOR_C_BADPARAMCOUNT 0xC002000Eu
#define KOR_C_NOTSUPPORTED 0xC0004001u

/* ---- Exception record ---------------------------------------------------
   Filled by KORInvoke and KORInvokeByNameA when a call fails. The record is
   [out]: the call zeroes it before anything else, without reading or
   freeing what it held, and fills it only when the component or the
   dispatch fails; it is left zeroed when the call succeeds or its arguments
   are refused. The texts are allocated by the library and belong to the
   caller, who releases them with KORExcepInfoClear, also before handing
   the same record to the next call (otherwise they leak). */
typedef struct KOREXCEPINFO {
    uint32_t code;         /* the failure's own code, e.g. 0xC0020003 */
    char *source;          /* where it was raised; never null once filled */
    char *description;     /* the message; never null once filled */
    char *help_file;       /* may be empty */
    uint32_t help_context;
} KOREXCEPINFO;

/* excep [in/out]: frees the texts of the record and zeroes it; null is
   ignored. The record must be zeroed or filled by the library: clearing a
   record twice is harmless, clearing one that holds garbage is not. */
PAYFMT_API void KORExcepInfoClear(KOREXCEPINFO *excep);

/* ---- Creation and reference counts --------------------------------------- */

/* Creates the component registered under name (without regard to case): a
   component name such as "TVR" or a programmatic name such as
   "Quorvin.EMV.TVR". args are the creation arguments; most components take
   none. obj [out]: one reference to the new component, released with
   KORRelease; null on failure.
   Returns 0; VEX_E_POINTER for a null obj, or null args with nargs;
   VEX_E_CLASSNOTREG for an unknown name; or the failure of the
   component's creation. */
PAYFMT_API uint32_t KORCreateObjectA(const char *name, const VEXVARIANT *args, uint32_t nargs,
                                     KOROBJ *obj);
/* Takes one more reference; returns the new count (0 for null). No status:
   obj must be a live component. */
PAYFMT_API uint32_t KORAddRef(KOROBJ obj);
/* Gives one reference back; returns the remaining count, 0 when the component
   was destroyed (and for null). */
PAYFMT_API uint32_t KORRelease(KOROBJ obj);
/* Number of components alive in the process (for leak checks). */
PAYFMT_API uint32_t KORObjectCount(void);

/* ---- Dispatch ------------------------------------------------------------ */

/* dispid [out]: the dispid of the member named name, compared without
   regard to case; -1 on every failure once dispid is known not to be null.
   Returns 0; VEX_E_POINTER for a null dispid or obj; VEX_E_INVALIDARG for
   an obj that is not a component; KOR_E_UNKNOWNNAME for no such member. */
PAYFMT_API uint32_t KORGetIDsOfNamesA(KOROBJ obj, const char *name, int32_t *dispid);

/* Reads or writes a property or calls a method.
   flags: KOR_DISPATCH_METHOD and/or KOR_DISPATCH_GET, or KOR_DISPATCH_PUT
   alone. With both METHOD and GET the member's kind decides. For a get,
   args are the indices of an indexed property (none for a plain one); for a
   put the value is the last argument and any before it are indices; for a
   method, args are its arguments, the first at index 0. A method with an
   in/out argument (a parser's Compile message) writes its new value back
   into that element of args, which the caller still owns and clears.
   result [out, may be null]: the value, when the caller wants it; a method
   without a value of its own answers the integer 0; empty after a put and
   after any failure.
   excep [out, may be null]: zeroed first; filled when the call fails.

   Failures, when excep is given: the record is filled, and the status is the
   dispatch code for dispatch failures (KOR_E_MEMBERNOTFOUND,
   KOR_E_PARAMNOTFOUND, KOR_E_BADPARAMCOUNT, KOR_E_TYPEMISMATCH,
   KOR_E_OVERFLOW, KOR_E_BADINDEX) or KOR_E_EXCEPTION for a failure of the
   component itself.
   When excep is null, the status is the failure's own code with the top two
   bits set (0xC0020003 for an unknown member, 0xE2060002 for a bad TVR
   value). Either way the thread's error record holds the details.
   Arguments refused before the component is reached leave *excep zeroed
   and *result empty: VEX_E_POINTER for a null obj or a null args with
   nargs > 0; VEX_E_INVALIDARG for an obj that is not a component, flags of
   any other combination, or a result that is one of args (that element is
   then left as it was). */
PAYFMT_API uint32_t KORInvoke(KOROBJ obj, int32_t dispid, uint32_t flags, VEXVARIANT *args,
                              uint32_t nargs, VEXVARIANT *result, KOREXCEPINFO *excep);

/* KORInvoke after resolving name as KORGetIDsOfNamesA does, with the same
   arguments, out parameters and statuses. An unknown name is an unknown
   member: KOR_E_MEMBERNOTFOUND (0xC0020003 without excep). */
PAYFMT_API uint32_t KORInvokeByNameA(KOROBJ obj, const char *name, uint32_t flags,
                                     VEXVARIANT *args, uint32_t nargs, VEXVARIANT *result,
                                     KOREXCEPINFO *excep);

/* ---- Descriptions -------------------------------------------------------- */

#define KOR_MEMBER_PROPERTY 1u
#define KOR_MEMBER_METHOD 2u
#define KOR_MEMBER_CONSTANT 3u /* a read-only property whose value is fixed */

typedef struct KORCOMPONENTINFO {
    const char *name;        /* component name, e.g. "TVR" */
    const char *class_name;  /* e.g. "TTVR" */
    const char *class_id;    /* "e3653435-c7bf-0000-bd9c-87f1eae8eba9"; "" when none */
    const char *description; /* may be empty */
    const char *help_link;   /* help file "#" topic; may be empty */
    uint32_t member_count;
} KORCOMPONENTINFO;

typedef struct KORMEMBERINFO {
    const char *name;
    int32_t dispid;
    uint32_t kind;           /* KOR_MEMBER_* */
    const char *description;
    const char *help_link;   /* help file "#" topic; may be empty */
    uint32_t attributes;     /* flag word of a property; 0 for methods */
} KORMEMBERINFO;

/* info [out]: zeroed first, then the description of the component's class.
   Returns 0; VEX_E_POINTER for a null obj or info; VEX_E_INVALIDARG for an
   obj that is not a component; VEX_E_NOTFOUND for a component without a
   description. */
PAYFMT_API uint32_t KORGetComponentInfoA(KOROBJ obj, KORCOMPONENTINFO *info);
/* info [out]: zeroed first, then the description of member index (from 0,
   in declaration order).
   Returns 0; the statuses of KORGetComponentInfoA; VEX_E_BADINDEX for an
   index at or beyond member_count. */
PAYFMT_API uint32_t KORGetMemberInfoA(KOROBJ obj, uint32_t index, KORMEMBERINFO *info);

PAYFMT_EXTERN_C_END

#endif
