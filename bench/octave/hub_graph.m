% G = hub_graph (n, base, hubs, reach, seed)
%   A reproducible symmetric 0/1 graph of n nodes: every node has `base` neighbours chosen at
%   random (a random regular multigraph with its loops and repeated edges dropped), and nodes 1 to
%   `hubs` are each joined to `reach` more nodes at random.
function G = hub_graph (n, base, hubs, reach, seed)
  rand ("state", seed);
  ends = repmat ((1:n)', base, 1);
  ends = ends(randperm (numel (ends)));
  from = [ends(1:2:end-1); repmat((1:hubs)', reach, 1)];
  to = [ends(2:2:end); randi(n, hubs * reach, 1)];
  kept = from != to;
  G = sparse (from(kept), to(kept), 1, n, n);
  G = spones (G + G');
end
