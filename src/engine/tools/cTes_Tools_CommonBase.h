// Common root of the tools and the tool box. It carries no behaviour; it only gives both families
// one base with a virtual destructor.
#pragma once

class cTes_Tools_CommonBase {
  public:
    virtual ~cTes_Tools_CommonBase() = default;
};
