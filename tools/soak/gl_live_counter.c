/* Counts the OpenGL objects a program holds, for the soak run. Preloaded
 * into the game (LD_PRELOAD), it hands GLEW wrapped versions of the calls
 * that create and delete textures, buffers, vertex arrays, framebuffers,
 * renderbuffers, shaders and programs (and itself stands in for the OpenGL
 * 1.1 calls linked straight to libGL), and keeps the set of live names of
 * each kind. At every glReadPixels (once per run in headless mode, right
 * after the run's first frame) it appends one line to the file named by
 * VELTRA_GL_LIVE_LOG:
 *   <n> rss_kb=<VmRSS> <kind>=<live names held>/<names the driver knows> ...
 * The second figure probes the driver with glIs* over every name ever handed
 * out, so objects deleted behind the counter's back show up too. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef unsigned int GLuint;
typedef int GLsizei;
typedef unsigned int GLenum;
typedef int GLint;
typedef unsigned char GLboolean;
typedef void (*Proc)(void);

enum Kind { TEXTURE, BUFFER, VERTEX_ARRAY, FRAMEBUFFER, RENDERBUFFER, SHADER, PROGRAM, KINDS };
static const char* const kindNames[KINDS] = {"textures", "buffers", "vertex_arrays",
                                              "framebuffers", "renderbuffers", "shaders",
                                              "programs"};

/* Names are small integers that drivers reuse; a flag per name is enough. */
#define MAX_NAME 65536
static unsigned char live[KINDS][MAX_NAME];
static GLuint highest[KINDS];
static long overflowed;

static void mark(enum Kind kind, GLuint name, int alive) {
    if (name == 0) {
        return;
    }
    if (name >= MAX_NAME) {
        overflowed++;
        return;
    }
    live[kind][name] = (unsigned char)alive;
    if (name > highest[kind]) {
        highest[kind] = name;
    }
}

typedef void (*GenFn)(GLsizei, GLuint*);
typedef void (*DeleteFn)(GLsizei, const GLuint*);
typedef GLuint (*CreateShaderFn)(GLenum);
typedef GLuint (*CreateProgramFn)(void);
typedef void (*DeleteOneFn)(GLuint);
typedef GLboolean (*IsFn)(GLuint);
typedef void (*ReadPixelsFn)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);
typedef Proc (*GetProcFn)(const unsigned char*);

static GenFn realGen[5];
static DeleteFn realDelete[5];
static CreateShaderFn realCreateShader;
static CreateProgramFn realCreateProgram;
static DeleteOneFn realDeleteShader, realDeleteProgram;
static IsFn realIs[KINDS];
static ReadPixelsFn realReadPixels;

#define GEN_WRAPPER(index)                                                          \
    static void gen##index(GLsizei n, GLuint* names) {                              \
        realGen[index](n, names);                                                    \
        for (GLsizei i = 0; i < n; i++) mark((enum Kind)index, names[i], 1);        \
    }                                                                                \
    static void delete##index(GLsizei n, const GLuint* names) {                     \
        for (GLsizei i = 0; i < n; i++) mark((enum Kind)index, names[i], 0);        \
        realDelete[index](n, names);                                                 \
    }
GEN_WRAPPER(0)
GEN_WRAPPER(1)
GEN_WRAPPER(2)
GEN_WRAPPER(3)
GEN_WRAPPER(4)

static GLuint createShader(GLenum type) {
    GLuint name = realCreateShader(type);
    mark(SHADER, name, 1);
    return name;
}
static void deleteShader(GLuint name) {
    mark(SHADER, name, 0);
    realDeleteShader(name);
}
static GLuint createProgram(void) {
    GLuint name = realCreateProgram();
    mark(PROGRAM, name, 1);
    return name;
}
static void deleteProgram(GLuint name) {
    mark(PROGRAM, name, 0);
    realDeleteProgram(name);
}

static long residentKb(void) {
    FILE* status = fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    while (status != NULL && fgets(line, sizeof line, status) != NULL) {
        if (strncmp(line, "VmRSS:", 6) == 0) {
            kb = strtol(line + 6, NULL, 10);
        }
    }
    if (status != NULL) {
        fclose(status);
    }
    return kb;
}

static void readPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
                       void* pixels) {
    static long count;
    realReadPixels(x, y, w, h, format, type, pixels);
    const char* path = getenv("VELTRA_GL_LIVE_LOG");
    FILE* log = path != NULL ? fopen(path, "a") : NULL;
    if (log == NULL) {
        return;
    }
    fprintf(log, "%ld rss_kb=%ld", ++count, residentKb());
    for (int kind = 0; kind < KINDS; kind++) {
        long held = 0, known = 0;
        for (GLuint name = 1; name <= highest[kind]; name++) {
            held += live[kind][name];
            if (realIs[kind] != NULL && realIs[kind](name)) {
                known++;
            }
        }
        fprintf(log, " %s=%ld/%ld", kindNames[kind], held, known);
    }
    fprintf(log, " overflowed=%ld\n", overflowed);
    fclose(log);
}

static GetProcFn realGetProc(void) {
    static GetProcFn real;
    if (real == NULL) {
        real = (GetProcFn)dlsym(RTLD_NEXT, "glXGetProcAddressARB");
    }
    return real;
}

static const struct {
    const char* gen;
    const char* del;
    const char* is;
} genDelete[5] = {
    {"glGenTextures", "glDeleteTextures", "glIsTexture"},
    {"glGenBuffers", "glDeleteBuffers", "glIsBuffer"},
    {"glGenVertexArrays", "glDeleteVertexArrays", "glIsVertexArray"},
    {"glGenFramebuffers", "glDeleteFramebuffers", "glIsFramebuffer"},
    {"glGenRenderbuffers", "glDeleteRenderbuffers", "glIsRenderbuffer"},
};
static const GenFn genWrappers[5] = {gen0, gen1, gen2, gen3, gen4};
static const DeleteFn deleteWrappers[5] = {delete0, delete1, delete2, delete3, delete4};

static Proc wrap(const char* name, Proc real) {
    if (real == NULL) {
        return NULL;
    }
    for (int i = 0; i < 5; i++) {
        if (strcmp(name, genDelete[i].gen) == 0) {
            realGen[i] = (GenFn)real;
            realIs[i] = (IsFn)realGetProc()((const unsigned char*)genDelete[i].is);
            return (Proc)genWrappers[i];
        }
        if (strcmp(name, genDelete[i].del) == 0) {
            realDelete[i] = (DeleteFn)real;
            return (Proc)deleteWrappers[i];
        }
    }
    if (strcmp(name, "glCreateShader") == 0) {
        realCreateShader = (CreateShaderFn)real;
        realIs[SHADER] = (IsFn)realGetProc()((const unsigned char*)"glIsShader");
        return (Proc)createShader;
    }
    if (strcmp(name, "glDeleteShader") == 0) {
        realDeleteShader = (DeleteOneFn)real;
        return (Proc)deleteShader;
    }
    if (strcmp(name, "glCreateProgram") == 0) {
        realCreateProgram = (CreateProgramFn)real;
        realIs[PROGRAM] = (IsFn)realGetProc()((const unsigned char*)"glIsProgram");
        return (Proc)createProgram;
    }
    if (strcmp(name, "glDeleteProgram") == 0) {
        realDeleteProgram = (DeleteOneFn)real;
        return (Proc)deleteProgram;
    }
    if (strcmp(name, "glReadPixels") == 0) {
        realReadPixels = (ReadPixelsFn)real;
        return (Proc)readPixels;
    }
    return real;
}

/* OpenGL 1.1 calls are linked straight to libGL, not fetched by GLEW. */
static Proc nextSymbol(const char* name) {
    return (Proc)dlsym(RTLD_NEXT, name);
}

void glGenTextures(GLsizei n, GLuint* names) {
    if (realGen[TEXTURE] == NULL) {
        realGen[TEXTURE] = (GenFn)nextSymbol("glGenTextures");
        realIs[TEXTURE] = (IsFn)nextSymbol("glIsTexture");
    }
    gen0(n, names);
}

void glDeleteTextures(GLsizei n, const GLuint* names) {
    if (realDelete[TEXTURE] == NULL) {
        realDelete[TEXTURE] = (DeleteFn)nextSymbol("glDeleteTextures");
    }
    delete0(n, names);
}

void glReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type,
                  void* pixels) {
    if (realReadPixels == NULL) {
        realReadPixels = (ReadPixelsFn)nextSymbol("glReadPixels");
    }
    readPixels(x, y, w, h, format, type, pixels);
}

Proc glXGetProcAddressARB(const unsigned char* name) {
    return wrap((const char*)name, realGetProc()(name));
}

Proc glXGetProcAddress(const unsigned char* name) {
    return glXGetProcAddressARB(name);
}
