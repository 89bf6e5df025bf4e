/* A short tour of the support layer from plain C: codecs, variants and a
   definition tree loaded from JSON. Build and run it with scripts/demo.sh. */
#include <stdio.h>
#include <string.h>

#include "payfmt/payfmt.h"

static void show(const char *label, VEXBUF b) {
    printf("%-22s %.*s\n", label, (int)VEXBufLen(b), (const char *)VEXBufData(b));
}

int main(int argc, char **argv) {
    VEXBUF raw = NULL, text = NULL;
    uint32_t used = 0;
    VEXHexStrnToRawA("0C012C", 6, &raw, &used);
    VEXRawToBase64A(VEXBufData(raw), VEXBufLen(raw), &text);
    show("hex 0C012C as Base64:", text);

    VEXVARIANT v;
    VEXVarInit(&v);
    uint32_t pos = 0;
    const char *args = "\"#00\",2";
    VEXVarFromTextA(args, (uint32_t)strlen(args), &pos, 0x300, &v);
    printf("%-22s %s \"%s\", next at %u\n", "first argument:", VEXVarTypeNameA(&v), v.u.s, pos);

    if (argc > 1) {
        VEXNODE tree = 0;
        if (VEXTreeLoadA(argv[1], &tree) != VEX_OK) {
            KORERRINFO info = NULL;
            KORGetErrorInfo(&info);
            fprintf(stderr, "%s\n", KORErrorInfoDescriptionA(info));
            KORFreeErrorInfo(info);
            return 1;
        }
        uint32_t count = 0;
        VEXTreeChildCount(tree, &count);
        VEXBUF name = NULL;
        VEXTreeGetNodeName(tree, &name);
        printf("%-22s %.*s with %u children\n", "definition tree:", (int)VEXBufLen(name),
               (const char *)VEXBufData(name), count);
        VEXBufFree(name);
        VEXTreeDeleteNode(tree, -1);
    }
    VEXVarClear(&v);
    VEXBufFree(raw);
    VEXBufFree(text);
    return 0;
}
