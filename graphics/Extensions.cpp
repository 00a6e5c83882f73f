// The extension loaders: each decides whether one OpenGL or WGL extension is usable through the
// GraphicSystem's extension query and fetches its entry points into the global pointers.
// A missing extension or entry point is not an error: its flag just stays false.
#include "graphics/Extensions.h"

#include "graphics/GraphicSystem.h"

bool hasSwapControl = false;
bool hasEXTBgra = false;
bool hasARBPointParameters = false;
bool hasARBPointSprite = false;
bool hasARBShadingLanguage100 = false;
bool hasARBShaderObjects = false;
bool hasARBVertexShader = false;
bool hasARBFragmentShader = false;
bool hasARBMultitexture = false;

namespace ext {

PFNWGLSWAPINTERVALEXTPROC wglSwapIntervalEXT = nullptr;
PFNWGLGETSWAPINTERVALEXTPROC wglGetSwapIntervalEXT = nullptr;
PFNGLPOINTPARAMETERFARBPROC glPointParameterfARB = nullptr;
PFNGLPOINTPARAMETERFVARBPROC glPointParameterfvARB = nullptr;
PFNGLDELETEOBJECTARBPROC glDeleteObjectARB = nullptr;
PFNGLGETHANDLEARBPROC glGetHandleARB = nullptr;
PFNGLDETACHOBJECTARBPROC glDetachObjectARB = nullptr;
PFNGLCREATESHADEROBJECTARBPROC glCreateShaderObjectARB = nullptr;
PFNGLSHADERSOURCEARBPROC glShaderSourceARB = nullptr;
PFNGLCOMPILESHADERARBPROC glCompileShaderARB = nullptr;
PFNGLCREATEPROGRAMOBJECTARBPROC glCreateProgramObjectARB = nullptr;
PFNGLATTACHOBJECTARBPROC glAttachObjectARB = nullptr;
PFNGLLINKPROGRAMARBPROC glLinkProgramARB = nullptr;
PFNGLUSEPROGRAMOBJECTARBPROC glUseProgramObjectARB = nullptr;
PFNGLVALIDATEPROGRAMARBPROC glValidateProgramARB = nullptr;
PFNGLUNIFORM1FARBPROC glUniform1fARB = nullptr;
PFNGLUNIFORM2FARBPROC glUniform2fARB = nullptr;
PFNGLUNIFORM3FARBPROC glUniform3fARB = nullptr;
PFNGLUNIFORM4FARBPROC glUniform4fARB = nullptr;
PFNGLUNIFORM1IARBPROC glUniform1iARB = nullptr;
PFNGLUNIFORM2IARBPROC glUniform2iARB = nullptr;
PFNGLUNIFORM3IARBPROC glUniform3iARB = nullptr;
PFNGLUNIFORM4IARBPROC glUniform4iARB = nullptr;
PFNGLUNIFORM1FVARBPROC glUniform1fvARB = nullptr;
PFNGLUNIFORM2FVARBPROC glUniform2fvARB = nullptr;
PFNGLUNIFORM3FVARBPROC glUniform3fvARB = nullptr;
PFNGLUNIFORM4FVARBPROC glUniform4fvARB = nullptr;
PFNGLUNIFORM1IVARBPROC glUniform1ivARB = nullptr;
PFNGLUNIFORM2IVARBPROC glUniform2ivARB = nullptr;
PFNGLUNIFORM3IVARBPROC glUniform3ivARB = nullptr;
PFNGLUNIFORM4IVARBPROC glUniform4ivARB = nullptr;
PFNGLUNIFORMMATRIX2FVARBPROC glUniformMatrix2fvARB = nullptr;
PFNGLUNIFORMMATRIX3FVARBPROC glUniformMatrix3fvARB = nullptr;
PFNGLUNIFORMMATRIX4FVARBPROC glUniformMatrix4fvARB = nullptr;
PFNGLGETOBJECTPARAMETERFVARBPROC glGetObjectParameterfvARB = nullptr;
PFNGLGETOBJECTPARAMETERIVARBPROC glGetObjectParameterivARB = nullptr;
PFNGLGETINFOLOGARBPROC glGetInfoLogARB = nullptr;
PFNGLGETATTACHEDOBJECTSARBPROC glGetAttachedObjectsARB = nullptr;
PFNGLGETUNIFORMLOCATIONARBPROC glGetUniformLocationARB = nullptr;
PFNGLGETACTIVEUNIFORMARBPROC glGetActiveUniformARB = nullptr;
PFNGLGETUNIFORMFVARBPROC glGetUniformfvARB = nullptr;
PFNGLGETUNIFORMIVARBPROC glGetUniformivARB = nullptr;
PFNGLGETSHADERSOURCEARBPROC glGetShaderSourceARB = nullptr;
PFNGLVERTEXATTRIB1FARBPROC glVertexAttrib1fARB = nullptr;
PFNGLVERTEXATTRIB1SARBPROC glVertexAttrib1sARB = nullptr;
PFNGLVERTEXATTRIB1DARBPROC glVertexAttrib1dARB = nullptr;
PFNGLVERTEXATTRIB2FARBPROC glVertexAttrib2fARB = nullptr;
PFNGLVERTEXATTRIB2SARBPROC glVertexAttrib2sARB = nullptr;
PFNGLVERTEXATTRIB2DARBPROC glVertexAttrib2dARB = nullptr;
PFNGLVERTEXATTRIB3FARBPROC glVertexAttrib3fARB = nullptr;
PFNGLVERTEXATTRIB3SARBPROC glVertexAttrib3sARB = nullptr;
PFNGLVERTEXATTRIB3DARBPROC glVertexAttrib3dARB = nullptr;
PFNGLVERTEXATTRIB4FARBPROC glVertexAttrib4fARB = nullptr;
PFNGLVERTEXATTRIB4SARBPROC glVertexAttrib4sARB = nullptr;
PFNGLVERTEXATTRIB4DARBPROC glVertexAttrib4dARB = nullptr;
PFNGLVERTEXATTRIB4NUBARBPROC glVertexAttrib4NubARB = nullptr;
PFNGLVERTEXATTRIB1FVARBPROC glVertexAttrib1fvARB = nullptr;
PFNGLVERTEXATTRIB1SVARBPROC glVertexAttrib1svARB = nullptr;
PFNGLVERTEXATTRIB1DVARBPROC glVertexAttrib1dvARB = nullptr;
PFNGLVERTEXATTRIB2FVARBPROC glVertexAttrib2fvARB = nullptr;
PFNGLVERTEXATTRIB2SVARBPROC glVertexAttrib2svARB = nullptr;
PFNGLVERTEXATTRIB2DVARBPROC glVertexAttrib2dvARB = nullptr;
PFNGLVERTEXATTRIB3FVARBPROC glVertexAttrib3fvARB = nullptr;
PFNGLVERTEXATTRIB3SVARBPROC glVertexAttrib3svARB = nullptr;
PFNGLVERTEXATTRIB3DVARBPROC glVertexAttrib3dvARB = nullptr;
PFNGLVERTEXATTRIB4FVARBPROC glVertexAttrib4fvARB = nullptr;
PFNGLVERTEXATTRIB4SVARBPROC glVertexAttrib4svARB = nullptr;
PFNGLVERTEXATTRIB4DVARBPROC glVertexAttrib4dvARB = nullptr;
PFNGLVERTEXATTRIB4IVARBPROC glVertexAttrib4ivARB = nullptr;
PFNGLVERTEXATTRIB4BVARBPROC glVertexAttrib4bvARB = nullptr;
PFNGLVERTEXATTRIB4UBVARBPROC glVertexAttrib4ubvARB = nullptr;
PFNGLVERTEXATTRIB4USVARBPROC glVertexAttrib4usvARB = nullptr;
PFNGLVERTEXATTRIB4UIVARBPROC glVertexAttrib4uivARB = nullptr;
PFNGLVERTEXATTRIB4NBVARBPROC glVertexAttrib4NbvARB = nullptr;
PFNGLVERTEXATTRIB4NSVARBPROC glVertexAttrib4NsvARB = nullptr;
PFNGLVERTEXATTRIB4NIVARBPROC glVertexAttrib4NivARB = nullptr;
PFNGLVERTEXATTRIB4NUBVARBPROC glVertexAttrib4NubvARB = nullptr;
PFNGLVERTEXATTRIB4NUSVARBPROC glVertexAttrib4NusvARB = nullptr;
PFNGLVERTEXATTRIB4NUIVARBPROC glVertexAttrib4NuivARB = nullptr;
PFNGLVERTEXATTRIBPOINTERARBPROC glVertexAttribPointerARB = nullptr;
PFNGLENABLEVERTEXATTRIBARRAYARBPROC glEnableVertexAttribArrayARB = nullptr;
PFNGLDISABLEVERTEXATTRIBARRAYARBPROC glDisableVertexAttribArrayARB = nullptr;
PFNGLBINDATTRIBLOCATIONARBPROC glBindAttribLocationARB = nullptr;
PFNGLGETACTIVEATTRIBARBPROC glGetActiveAttribARB = nullptr;
PFNGLGETATTRIBLOCATIONARBPROC glGetAttribLocationARB = nullptr;
PFNGLGETVERTEXATTRIBDVARBPROC glGetVertexAttribdvARB = nullptr;
PFNGLGETVERTEXATTRIBFVARBPROC glGetVertexAttribfvARB = nullptr;
PFNGLGETVERTEXATTRIBIVARBPROC glGetVertexAttribivARB = nullptr;
PFNGLGETVERTEXATTRIBPOINTERVARBPROC glGetVertexAttribPointervARB = nullptr;
PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB = nullptr;
PFNGLMULTITEXCOORD1DARBPROC glMultiTexCoord1dARB = nullptr;
PFNGLMULTITEXCOORD1DVARBPROC glMultiTexCoord1dvARB = nullptr;
PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB = nullptr;
PFNGLMULTITEXCOORD1FVARBPROC glMultiTexCoord1fvARB = nullptr;
PFNGLMULTITEXCOORD1IARBPROC glMultiTexCoord1iARB = nullptr;
PFNGLMULTITEXCOORD1IVARBPROC glMultiTexCoord1ivARB = nullptr;
PFNGLMULTITEXCOORD1SARBPROC glMultiTexCoord1sARB = nullptr;
PFNGLMULTITEXCOORD1SVARBPROC glMultiTexCoord1svARB = nullptr;
PFNGLMULTITEXCOORD2DARBPROC glMultiTexCoord2dARB = nullptr;
PFNGLMULTITEXCOORD2DVARBPROC glMultiTexCoord2dvARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB = nullptr;
PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB = nullptr;
PFNGLMULTITEXCOORD2IARBPROC glMultiTexCoord2iARB = nullptr;
PFNGLMULTITEXCOORD2IVARBPROC glMultiTexCoord2ivARB = nullptr;
PFNGLMULTITEXCOORD2SARBPROC glMultiTexCoord2sARB = nullptr;
PFNGLMULTITEXCOORD2SVARBPROC glMultiTexCoord2svARB = nullptr;
PFNGLMULTITEXCOORD3DARBPROC glMultiTexCoord3dARB = nullptr;
PFNGLMULTITEXCOORD3DVARBPROC glMultiTexCoord3dvARB = nullptr;
PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB = nullptr;
PFNGLMULTITEXCOORD3FVARBPROC glMultiTexCoord3fvARB = nullptr;
PFNGLMULTITEXCOORD3IARBPROC glMultiTexCoord3iARB = nullptr;
PFNGLMULTITEXCOORD3IVARBPROC glMultiTexCoord3ivARB = nullptr;
PFNGLMULTITEXCOORD3SARBPROC glMultiTexCoord3sARB = nullptr;
PFNGLMULTITEXCOORD3SVARBPROC glMultiTexCoord3svARB = nullptr;
PFNGLMULTITEXCOORD4DARBPROC glMultiTexCoord4dARB = nullptr;
PFNGLMULTITEXCOORD4DVARBPROC glMultiTexCoord4dvARB = nullptr;
PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB = nullptr;
PFNGLMULTITEXCOORD4FVARBPROC glMultiTexCoord4fvARB = nullptr;
PFNGLMULTITEXCOORD4IARBPROC glMultiTexCoord4iARB = nullptr;
PFNGLMULTITEXCOORD4IVARBPROC glMultiTexCoord4ivARB = nullptr;
PFNGLMULTITEXCOORD4SARBPROC glMultiTexCoord4sARB = nullptr;
PFNGLMULTITEXCOORD4SVARBPROC glMultiTexCoord4svARB = nullptr;

} // namespace ext

namespace {

// Stores the address of one entry point in its typed pointer and answers whether there was one.
// The detour through void (*)() is the generic function-pointer type that GCC accepts any
// function type from without a cast warning (PROC is a different type on Windows).
template <typename Pointer> bool fetch(Pointer& pointer, const char* name) {
    PROC address = GraphicSystem::instance()->getProcAddress(name);
    pointer = reinterpret_cast<Pointer>(reinterpret_cast<void (*)()>(address));
    return address != nullptr;
}

bool supported(const char* extension) {
    return GraphicSystem::instance()->isExtensionSupported(extension);
}

} // namespace

// Stops the loader at the first missing entry point: the later ones are not fetched, the ones
// before keep what they got, and the flag stays false.
#define FETCH(name)                                                                                \
    do {                                                                                           \
        if (!fetch(ext::name, #name)) {                                                            \
            return false;                                                                          \
        }                                                                                          \
    } while (false)

bool loadSwapControl() {
    // Drivers expose the entry points without always listing the extension, so only the lookup
    // decides.
    hasSwapControl = false;
    FETCH(wglSwapIntervalEXT);
    FETCH(wglGetSwapIntervalEXT);
    hasSwapControl = true;
    return true;
}

bool loadEXTBgra() {
    hasEXTBgra = supported("GL_EXT_bgra");
    return hasEXTBgra;
}

bool loadARBPointParameters() {
    hasARBPointParameters = supported("GL_ARB_point_parameters");
    if (!hasARBPointParameters) {
        return false;
    }
    hasARBPointParameters = false;
    FETCH(glPointParameterfARB);
    FETCH(glPointParameterfvARB);
    hasARBPointParameters = true;
    return true;
}

bool loadARBPointSprite() {
    hasARBPointSprite = supported("GL_ARB_point_sprite");
    return hasARBPointSprite;
}

bool loadARBShadingLanguage100() {
    hasARBShadingLanguage100 = supported("GL_ARB_shading_language_100");
    return hasARBShadingLanguage100;
}

bool loadARBShaderObjects() {
    hasARBShaderObjects = supported("GL_ARB_shader_objects");
    if (!hasARBShaderObjects) {
        return false;
    }
    hasARBShaderObjects = false;
    FETCH(glDeleteObjectARB);
    FETCH(glGetHandleARB);
    FETCH(glDetachObjectARB);
    FETCH(glCreateShaderObjectARB);
    FETCH(glShaderSourceARB);
    FETCH(glCompileShaderARB);
    FETCH(glCreateProgramObjectARB);
    FETCH(glAttachObjectARB);
    FETCH(glLinkProgramARB);
    FETCH(glUseProgramObjectARB);
    FETCH(glValidateProgramARB);
    FETCH(glUniform1fARB);
    FETCH(glUniform2fARB);
    FETCH(glUniform3fARB);
    FETCH(glUniform4fARB);
    FETCH(glUniform1iARB);
    FETCH(glUniform2iARB);
    FETCH(glUniform3iARB);
    FETCH(glUniform4iARB);
    FETCH(glUniform1fvARB);
    FETCH(glUniform2fvARB);
    FETCH(glUniform3fvARB);
    FETCH(glUniform4fvARB);
    FETCH(glUniform1ivARB);
    FETCH(glUniform2ivARB);
    FETCH(glUniform3ivARB);
    FETCH(glUniform4ivARB);
    FETCH(glUniformMatrix2fvARB);
    FETCH(glUniformMatrix3fvARB);
    FETCH(glUniformMatrix4fvARB);
    FETCH(glGetObjectParameterfvARB);
    FETCH(glGetObjectParameterivARB);
    FETCH(glGetInfoLogARB);
    FETCH(glGetAttachedObjectsARB);
    FETCH(glGetUniformLocationARB);
    FETCH(glGetActiveUniformARB);
    FETCH(glGetUniformfvARB);
    FETCH(glGetUniformivARB);
    FETCH(glGetShaderSourceARB);
    hasARBShaderObjects = true;
    return true;
}

bool loadARBVertexShader() {
    hasARBVertexShader = supported("GL_ARB_vertex_shader");
    if (!hasARBVertexShader) {
        return false;
    }
    hasARBVertexShader = false;
    FETCH(glVertexAttrib1fARB);
    FETCH(glVertexAttrib1sARB);
    FETCH(glVertexAttrib1dARB);
    FETCH(glVertexAttrib2fARB);
    FETCH(glVertexAttrib2sARB);
    FETCH(glVertexAttrib2dARB);
    FETCH(glVertexAttrib3fARB);
    FETCH(glVertexAttrib3sARB);
    FETCH(glVertexAttrib3dARB);
    FETCH(glVertexAttrib4fARB);
    FETCH(glVertexAttrib4sARB);
    FETCH(glVertexAttrib4dARB);
    FETCH(glVertexAttrib4NubARB);
    FETCH(glVertexAttrib1fvARB);
    FETCH(glVertexAttrib1svARB);
    FETCH(glVertexAttrib1dvARB);
    FETCH(glVertexAttrib2fvARB);
    FETCH(glVertexAttrib2svARB);
    FETCH(glVertexAttrib2dvARB);
    FETCH(glVertexAttrib3fvARB);
    FETCH(glVertexAttrib3svARB);
    FETCH(glVertexAttrib3dvARB);
    FETCH(glVertexAttrib4fvARB);
    FETCH(glVertexAttrib4svARB);
    FETCH(glVertexAttrib4dvARB);
    FETCH(glVertexAttrib4ivARB);
    FETCH(glVertexAttrib4bvARB);
    FETCH(glVertexAttrib4ubvARB);
    FETCH(glVertexAttrib4usvARB);
    FETCH(glVertexAttrib4uivARB);
    FETCH(glVertexAttrib4NbvARB);
    FETCH(glVertexAttrib4NsvARB);
    FETCH(glVertexAttrib4NivARB);
    FETCH(glVertexAttrib4NubvARB);
    FETCH(glVertexAttrib4NusvARB);
    FETCH(glVertexAttrib4NuivARB);
    FETCH(glVertexAttribPointerARB);
    FETCH(glEnableVertexAttribArrayARB);
    FETCH(glDisableVertexAttribArrayARB);
    FETCH(glBindAttribLocationARB);
    FETCH(glGetActiveAttribARB);
    FETCH(glGetAttribLocationARB);
    FETCH(glGetVertexAttribdvARB);
    FETCH(glGetVertexAttribfvARB);
    FETCH(glGetVertexAttribivARB);
    FETCH(glGetVertexAttribPointervARB);
    hasARBVertexShader = true;
    return true;
}

bool loadARBFragmentShader() {
    hasARBFragmentShader = supported("GL_ARB_fragment_shader");
    return hasARBFragmentShader;
}

bool loadARBMultitexture() {
    hasARBMultitexture = supported("GL_ARB_multitexture");
    if (!hasARBMultitexture) {
        return false;
    }
    hasARBMultitexture = false;
    FETCH(glActiveTextureARB);
    FETCH(glClientActiveTextureARB);
    FETCH(glMultiTexCoord1dARB);
    FETCH(glMultiTexCoord1dvARB);
    FETCH(glMultiTexCoord1fARB);
    FETCH(glMultiTexCoord1fvARB);
    FETCH(glMultiTexCoord1iARB);
    FETCH(glMultiTexCoord1ivARB);
    FETCH(glMultiTexCoord1sARB);
    FETCH(glMultiTexCoord1svARB);
    FETCH(glMultiTexCoord2dARB);
    FETCH(glMultiTexCoord2dvARB);
    FETCH(glMultiTexCoord2fARB);
    FETCH(glMultiTexCoord2fvARB);
    FETCH(glMultiTexCoord2iARB);
    FETCH(glMultiTexCoord2ivARB);
    FETCH(glMultiTexCoord2sARB);
    FETCH(glMultiTexCoord2svARB);
    FETCH(glMultiTexCoord3dARB);
    FETCH(glMultiTexCoord3dvARB);
    FETCH(glMultiTexCoord3fARB);
    FETCH(glMultiTexCoord3fvARB);
    FETCH(glMultiTexCoord3iARB);
    FETCH(glMultiTexCoord3ivARB);
    FETCH(glMultiTexCoord3sARB);
    FETCH(glMultiTexCoord3svARB);
    FETCH(glMultiTexCoord4dARB);
    FETCH(glMultiTexCoord4dvARB);
    FETCH(glMultiTexCoord4fARB);
    FETCH(glMultiTexCoord4fvARB);
    FETCH(glMultiTexCoord4iARB);
    FETCH(glMultiTexCoord4ivARB);
    FETCH(glMultiTexCoord4sARB);
    FETCH(glMultiTexCoord4svARB);
    hasARBMultitexture = true;
    return true;
}
