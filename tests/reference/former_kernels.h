// The kernels as they were before their vector paths: plain scalar transcriptions, kept as the
// oracle of the differential tests and as the benchmarks' baseline. Same parameters, same lines.
#pragma once

#include <stdint.h>

namespace former {

void corvane(const uint64_t* irA, const uint64_t* jcA, const double* prA, const uint64_t* irB, const uint64_t* jcB,
             const double* prB, uint64_t n, int64_t blockEnd, double w, uint64_t* irS, uint64_t* jcS, double* prS);

void tessaly(const uint64_t* irC, const uint64_t* jcC, const double* prC, const double* d, uint64_t n,
             double threshold, uint64_t* irS, uint64_t* jcS, double* prS);

void divideByMinDegree(const uint64_t* irC, const uint64_t* jcC, const double* prC, const double* d, uint64_t n,
                       uint64_t* irS, uint64_t* jcS, double* prS);

uint64_t tessaly5(const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                  const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir, uint64_t* jc,
                  double* pr);

uint64_t tessaly5b(const uint8_t* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                   const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir, uint64_t* jc,
                   double* pr);

uint64_t tessaly5a(const double* nodeAtts, uint64_t numNodes, uint64_t numAttrs, double threshold,
                   const double* nodesToKeep, uint64_t numNodesToKeep, uint64_t nzmax, uint64_t* ir, uint64_t* jc,
                   double* pr);

}  // namespace former
