// A host written in C: it shares no C++ run time with kxUtils96.dll, loads
// it from its own folder with LoadLibraryW, finds every export with
// GetProcAddress and calls one of each family as the host does: the flat and
// plain exports as cdecl functions, with a host object of its own whose
// method the DLL calls as thiscall, the ordered format with an argument list
// built here, and the g_nCodePage data export. It checks every result, and
// that the stack pointer is the same before and after each call, which a
// wrong calling convention on either side would move.
//
// The few C++ objects it needs it makes through the DLL's own exports under
// GCC's names, as only a host of the same toolchain can: a CStringUTF8 (one
// pointer to its UTF-8 text) through CStringT<char>'s constructor and
// destructor, and a CZQVStringArray in its shared layout (the virtual table,
// then the first, last and end addresses of its CStringUTF8 elements).
//
// Prints every failure and ends with 1 when there was one, else 0.
#include <math.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#if defined(__i386__)
// GCC applies thiscall to C functions too, though it warns that they are
// not class methods: here that is the point.
#pragma GCC diagnostic ignored "-Wattributes"
#define HOST_THISCALL __attribute__((thiscall))
#define READ_STACK_POINTER(sp) __asm__ volatile("movl %%esp, %0" : "=r"(sp) : : "memory")
#else  // x86_64 has one calling convention
#define HOST_THISCALL
#define READ_STACK_POINTER(sp) __asm__ volatile("movq %%rsp, %0" : "=r"(sp) : : "memory")
#endif

static int failures;

static void expect(int ok, const char* what) {
  if (!ok) {
    printf("FAILED: %s\n", what);
    ++failures;
  }
}

static void expect_text(const char* actual, const char* expected, const char* what) {
  int same = actual != NULL && strcmp(actual, expected) == 0;
  if (!same) printf("  got \"%s\", expected \"%s\"\n", actual ? actual : "(null)", expected);
  expect(same, what);
}

// Evaluates `call` (whose result, if any, goes where `call` says) between two
// readings of the stack pointer. The program is built so that its own code
// never moves the stack pointer inside a function body.
#define CHECKED_CALL(call)                                       \
  do {                                                           \
    uintptr_t sp_before, sp_after;                               \
    READ_STACK_POINTER(sp_before);                               \
    call;                                                        \
    READ_STACK_POINTER(sp_after);                                \
    expect(sp_before == sp_after, "same stack pointer: " #call); \
  } while (0)

// The exports, typed as the DLL's headers declare them.
typedef int (*TokenizeCsvLineFn)(const char* lpcszLine, void* pFields);
typedef int (*OrderedFormatFn)(void* pstrResult, const char* lpcszFormat, va_list argList);
typedef int (*NanInfToNanumFn)(double* pBuffer, unsigned int nCount);
typedef int (*ReadTextFileFn)(const char* lpcszFile, void* pstrText, int nOption);
typedef void (*SortDoublesFn)(double* pBuffer, int nCount, unsigned long flags, void* pIndex);
typedef int (*ShellItemFn)(int* pnId, int nOperation, INT_PTR nArg3, INT_PTR nArg4, UINT nArg5);
typedef void(HOST_THISCALL* MethodFn)(void* self);
enum { SHELLITEM_GET_BOOL = 2, kShellNoSuchItem = 15054 };
static const double NANUM = -1.23456789e-300;  // the host's missing value

static HMODULE dll;

// The address of an export, code or data, as a number to cast to its type.
static uintptr_t find_export(const char* name) {
  FARPROC address = GetProcAddress(dll, name);
  if (address == NULL) {
    printf("FAILED: kxUtils96.dll does not export %s\n", name);
    ExitProcess(1);
  }
  return (uintptr_t)address;
}

// Calls the DLL's method `name` (a constructor or destructor) on `self`.
static void call_method(void* self, const char* name) {
  MethodFn method = (MethodFn)find_export(name);
  CHECKED_CALL(method(self));
}

// A CStringUTF8 made by the DLL: its text is at the one pointer it holds.
typedef struct {
  const char* text;
} String;
#define STRING_CONSTRUCTOR "_ZN8CStringTIcEC1Ev"
#define STRING_DESTRUCTOR "_ZN8CStringTIcED1Ev"

// An empty CZQVStringArray; the DLL fills it, this program reads it, and the
// DLL's destructor frees its elements.
typedef struct {
  const void* vtable;
  String* first;
  String* last;
  String* end;
} StringArray;

static void make_string_array(StringArray* array) {
  // A virtual table pointer points past the table's offset and type entries.
  const void** table = (const void**)find_export("_ZTV15CZQVStringArray");
  StringArray empty = {table + 2, NULL, NULL, NULL};
  *array = empty;
}

#define STRING_ARRAY_DESTRUCTOR "_ZN15CZQVStringArrayD1Ev"

// The script's object: a C++ class with one virtual method, written in C as
// a table of one function pointer. It records how the DLL called it.
enum { QUERY_STRING_ARRAY = 0x1001B };

typedef struct HostObject HostObject;
typedef struct {
  void*(HOST_THISCALL* GetNativeObject)(HostObject* self, int nQuery, intptr_t nParam);
} HostObjectMethods;

struct HostObject {
  const HostObjectMethods* methods;
  StringArray* array;
  int calls;
  HostObject* self_seen;
  int query_seen;
  intptr_t param_seen;
};

static void* HOST_THISCALL get_native_object(HostObject* self, int nQuery, intptr_t nParam) {
  ++self->calls;
  self->self_seen = self;
  self->query_seen = nQuery;
  self->param_seen = nParam;
  return nQuery == QUERY_STRING_ARRAY ? self->array : NULL;
}

static const HostObjectMethods host_object_methods = {get_native_object};

static void tokenize_through_host_object(void) {
  TokenizeCsvLineFn tokenize = (TokenizeCsvLineFn)find_export("kxu_tokenize_one_csv_line");
  StringArray fields;
  make_string_array(&fields);
  HostObject object = {&host_object_methods, &fields, 0, NULL, 0, -1};
  int count = 0;
  CHECKED_CALL(count = tokenize("1,\"a \"\"b\"\"\",x", &object));
  expect(count == 3 && fields.last - fields.first == 3, "kxu_tokenize_one_csv_line: 3 fields");
  expect(object.calls == 1 && object.self_seen == &object,
         "GetNativeObject: called once on the object");
  expect(object.query_seen == QUERY_STRING_ARRAY && object.param_seen == 0,
         "GetNativeObject: QUERY_STRING_ARRAY, parameter 0");
  if (count == 3) expect_text(fields.first[1].text, "a \"b\"", "quoted field");
  call_method(&fields, STRING_ARRAY_DESTRUCTOR);
}

// The ordered format with this function's own arguments as its va_list.
static int format_ordered(String* result, const char* format, ...) {
  OrderedFormatFn ordered_format = (OrderedFormatFn)find_export("kxuStringOrderedFormat");
  va_list args;
  int done = 0;
  va_start(args, format);
  CHECKED_CALL(done = ordered_format(result, format, args));
  va_end(args);
  return done;
}

static void format_in_argument_order(void) {
  String text;
  call_method(&text, STRING_CONSTRUCTOR);
  expect(format_ordered(&text, "{2}%s has {0}%d rows of {1}%g", 12, 0.5, "Table") == 1,
         "kxuStringOrderedFormat: done");
  expect_text(text.text, "Table has 12 rows of 0.5", "kxuStringOrderedFormat: text");
  call_method(&text, STRING_DESTRUCTOR);
}

// A sort of the family (a C++ export) and the missing-value replacement (a flat one).
static void sort_and_replace_doubles(void) {
  // kxutilsSortBuff(double*, int, unsigned long, CArray<int, int>*)
  SortDoublesFn sort = (SortDoublesFn)find_export("_Z15kxutilsSortBuffPdimP6CArrayIiiE");
  NanInfToNanumFn to_nanum = (NanInfToNanumFn)find_export("kxu_nan_inf_to_NANUM");
  double sorted[] = {3.0, -1.0, 2.0};
  double values[] = {NAN, 5.0, -INFINITY};
  int replaced = 0;
  CHECKED_CALL(sort(sorted, 3, 0, NULL));
  expect(sorted[0] == -1.0 && sorted[1] == 2.0 && sorted[2] == 3.0, "kxutilsSortBuff: ascending");
  CHECKED_CALL(replaced = to_nanum(values, 3));
  expect(replaced == 2 && values[0] == NANUM && values[1] == 5.0 && values[2] == NANUM,
         "kxu_nan_inf_to_NANUM: NaN and infinity become NANUM");
}

static void shell_item_unknown(void) {
  ShellItemFn shell_item = (ShellItemFn)find_export("kxu_shell_item");
  int id = 7;
  int result = 0;
  CHECKED_CALL(result = shell_item(&id, SHELLITEM_GET_BOOL, 0, 0, 0));
  expect(result == kShellNoSuchItem, "kxu_shell_item: an id that names no item gives 15054");
}

// Reads the bytes "caf" E9 from a file in the host's code page, which the
// host sets through the data export: in 1251, E9 is U+0439 (in the system's
// 1252 it would be U+00E9).
static void read_under_code_page(void) {
  ReadTextFileFn read_text_file = (ReadTextFileFn)find_export("kxu_read_text_file");
  int* code_page = (int*)find_export("g_nCodePage");
  WCHAR temp[MAX_PATH], path[MAX_PATH];
  char path_utf8[sizeof path * 3];
  GetTempPathW(MAX_PATH, temp);
  FILE* file = GetTempFileNameW(temp, L"kxh", 0, path) != 0 ? _wfopen(path, L"wb") : NULL;
  WideCharToMultiByte(CP_UTF8, 0, path, -1, path_utf8, sizeof path_utf8, NULL, NULL);
  expect(file != NULL && fwrite("caf\xE9", 1, 4, file) == 4 && fclose(file) == 0,
         "writing the code-page file");
  expect(*code_page == -1, "g_nCodePage: -1 until the host sets it");

  String text;
  int opened = 0;
  call_method(&text, STRING_CONSTRUCTOR);
  *code_page = 1251;
  CHECKED_CALL(opened = read_text_file(path_utf8, &text, 1));
  expect(opened == 1, "kxu_read_text_file: opened");
  expect_text(text.text, "caf\xD0\xB9", "kxu_read_text_file: text in code page 1251");
  call_method(&text, STRING_DESTRUCTOR);
  *code_page = -1;
  DeleteFileW(path);
}

int main(void) {
  // The host keeps the DLL in its own folder.
  WCHAR path[MAX_PATH + 16];
  GetModuleFileNameW(NULL, path, MAX_PATH);
  wcscpy(wcsrchr(path, L'\\') + 1, L"kxUtils96.dll");
  dll = LoadLibraryW(path);
  if (dll == NULL) {
    printf("FAILED: LoadLibraryW could not load kxUtils96.dll (error %lu)\n", GetLastError());
    return 1;
  }
  tokenize_through_host_object();
  format_in_argument_order();
  read_under_code_page();
  sort_and_replace_doubles();
  shell_item_unknown();
  expect(FreeLibrary(dll), "FreeLibrary");
  printf("%s\n", failures == 0 ? "every call as the host makes it: passed" : "failed");
  return failures == 0 ? 0 : 1;
}
