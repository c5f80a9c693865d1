// libxml2, opened when the layer first calls it: with the ICU libraries it needs it is the heaviest
// part of a process's start-up, and a program that parses no XML should not load (or relocate) it.
// The layer's calls keep their libxml2 names: this file defines each function the DOM uses (hidden, like
// everything of the layer) as a call into the library, found by name the first time. ceplatform is
// linked with --no-undefined, so a libxml2 call that is missing here fails the build.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include <cstdlib>
#include <cstdio>

#include "modules/HostLibrary.h"

namespace {

// The named function of the library. The DOM cannot go on without it, so a library that is missing or
// incomplete ends the process with a clear message instead of a crash further on.
template <class Function>
Function Required(ce::detail::HostLibrary& library, const char* name) {
    auto function = library.Find<Function>(name);
    if (function == nullptr) {
        std::fprintf(stderr, "ceplatform: libxml2.so.2 has no %s\n", name);
        std::abort();
    }
    return function;
}

// The library, its parser initialised: libxml2 asks for that once, before any thread parses.
ce::detail::HostLibrary& Library() {
    static ce::detail::HostLibrary library("libxml2.so.2");
    static const bool parserReady = (Required<decltype(&::xmlInitParser)>(library, "xmlInitParser")(), true);
    (void)parserReady;
    return library;
}

template <class Function>
Function Bound(const char* name) {
    return Required<Function>(Library(), name);
}

// Frees what the library allocated, by the library's own free function (its variable xmlFree).
void FreeThroughLibrary(void* memory) {
    static xmlFreeFunc* libraryFree = Bound<xmlFreeFunc*>("xmlFree");
    (*libraryFree)(memory);
}

}  // namespace

#define CE_XML_CALL(name) static const auto call = Bound<decltype(&::name)>(#name)

extern "C" {

xmlFreeFunc xmlFree = FreeThroughLibrary;

void xmlInitParser(void) { Library(); }

xmlDocPtr xmlReadMemory(const char* buffer, int size, const char* url, const char* encoding, int options) {
    CE_XML_CALL(xmlReadMemory);
    return call(buffer, size, url, encoding, options);
}

xmlDocPtr xmlNewDoc(const xmlChar* version) {
    CE_XML_CALL(xmlNewDoc);
    return call(version);
}

void xmlFreeDoc(xmlDocPtr document) {
    CE_XML_CALL(xmlFreeDoc);
    call(document);
}

xmlNodePtr xmlDocGetRootElement(const xmlDoc* document) {
    CE_XML_CALL(xmlDocGetRootElement);
    return call(document);
}

xmlChar* xmlNodeGetContent(const xmlNode* node) {
    CE_XML_CALL(xmlNodeGetContent);
    return call(node);
}

xmlBufferPtr xmlBufferCreate(void) {
    CE_XML_CALL(xmlBufferCreate);
    return call();
}

void xmlBufferFree(xmlBufferPtr buffer) {
    CE_XML_CALL(xmlBufferFree);
    call(buffer);
}

const xmlChar* xmlBufferContent(const xmlBuffer* buffer) {
    CE_XML_CALL(xmlBufferContent);
    return call(buffer);
}

int xmlBufferLength(const xmlBuffer* buffer) {
    CE_XML_CALL(xmlBufferLength);
    return call(buffer);
}

xmlSaveCtxtPtr xmlSaveToBuffer(xmlBufferPtr buffer, const char* encoding, int options) {
    CE_XML_CALL(xmlSaveToBuffer);
    return call(buffer, encoding, options);
}

long xmlSaveTree(xmlSaveCtxtPtr context, xmlNodePtr node) {
    CE_XML_CALL(xmlSaveTree);
    return call(context, node);
}

int xmlSaveClose(xmlSaveCtxtPtr context) {
    CE_XML_CALL(xmlSaveClose);
    return call(context);
}

}  // extern "C"
