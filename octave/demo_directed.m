% demo_directed ()
%   A small citation network made here, ten papers each citing earlier ones, compared in the two
%   ways of directed networks by neighborSimilarity's Direction: co-citation (how many papers
%   cite both, the common predecessors, P' * P) and bibliographic coupling (how many papers both
%   cite, the common successors, P * P'), printed side by side; then the same counts for a few
%   listed pairs alone, which costs only the citations of the papers listed.
function demo_directed ()
  printf ("\n== neighborSimilarity on a directed network: co-citation and bibliographic coupling ==\n");
  % Row r cites column k: P(r, k) = 1.
  citing = [3 3 4 4 5 5 5 6 6 7 7 7 8 8 9 9 9 10 10 10];
  cited  = [1 2 1 2 2 3 4 3 4 4 5 6 5 6 6 7 8 7 8 9];
  n = 10;
  P = sparse (citing, cited, 1, n, n);
  printf ("%d papers, %d citations; paper r cites paper k where P(r, k) = 1\n", n, nnz (P));
  cocitation = neighborSimilarity (P, 'common', 'Direction', 'incoming', 'Self', false);
  coupling = neighborSimilarity (P, 'common', 'Direction', 'outgoing', 'Self', false);
  [i, j] = find (triu (cocitation + coupling, 1));
  [~, order] = sortrows ([i, j]);
  printf ("pair of papers: cited together by, cite in common\n");
  for k = order'
    printf ("  %2d %2d:  %d  %d\n", i(k), j(k), full (cocitation(i(k), j(k))), full (coupling(i(k), j(k))));
  end
  offDiagonal = ! speye (n);
  printf ("co-citation equals P' * P and coupling P * P' off the diagonal: %s\n", ...
          yes_no (isequal (cocitation, (P' * P) .* offDiagonal) && isequal (coupling, (P * P') .* offDiagonal)));
  listed = [7 9; 5 6; 1 2];
  scores = neighborSimilarity (P, 'jaccard', 'Direction', 'outgoing', 'Pairs', listed);
  printf ("Jaccard similarity of the references of listed pairs alone:\n");
  printf ("  %2d %2d:  %.3f\n", [listed, scores]');
end

function text = yes_no (condition)
  if (condition)
    text = "yes";
  else
    text = "no";
  end
end
