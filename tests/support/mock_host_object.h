// A host object for tests: answers each query code with a fixed native object
// and records every GetNativeObject call, so a test can check which queries a
// flat export made, with which parameters and in which order.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include <kxutils96/frame/host_object.h>
#include <kxutils96/platform/framework/afx_coll.h>
#include <kxutils96/strings/zqv_string_array.h>

namespace kxu::test {

struct NativeQuery {
  const HostObject* pObject;
  int nQuery;
  intptr_t nParam;
};

// Calls of all mock objects of one test, in the order they happened.
using QueryLog = std::vector<NativeQuery>;

class MockHostObject final : public HostObject {
 public:
  explicit MockHostObject(QueryLog& log) : m_log(log) {}
  // An object that answers the query of its array's kind with `array`.
  MockHostObject(QueryLog& log, CZQVStringArray& array) : m_log(log) {
    Answer(QUERY_STRING_ARRAY, &array);
  }
  MockHostObject(QueryLog& log, CArray<int, int>& array) : m_log(log) {
    Answer(QUERY_INT_ARRAY, &array);
  }
  MockHostObject(const MockHostObject&) = delete;
  MockHostObject& operator=(const MockHostObject&) = delete;
  ~MockHostObject() = default;

  // Makes the object answer `nQuery` with `pNative` (null: no such array).
  void Answer(int nQuery, void* pNative) { m_answers[nQuery] = pNative; }

  void* GetNativeObject(int nQuery, intptr_t nParam) override {
    m_log.push_back({this, nQuery, nParam});
    auto it = m_answers.find(nQuery);
    return it == m_answers.end() ? nullptr : it->second;
  }

 private:
  QueryLog& m_log;
  std::map<int, void*> m_answers;
};

}  // namespace kxu::test
